#include "lyric_sources/embedded_lyrics.h"

#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"

#include <algorithm>

namespace EmbeddedLyrics {

namespace {

// Bytes the line takes in a UTF-8 lyric file, its CR LF included.
qint64 fileBytes(QStringView line) {
    qint64 bytes = 2;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        if (c < 0x80)
            bytes += 1;
        else if (c < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < line.size() &&
                 QChar::isLowSurrogate(line[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

// Collects lines up to the lyric file bounds.
class BoundedLines {
public:
    // False once no further line can be taken.
    bool add(QString line) {
        if (full_)
            return false;
        const qint64 bytes = fileBytes(line);
        if (bytes_ + bytes > LyricFile::MaxBytes) {
            full_ = true;
            return false;
        }
        bytes_ += bytes;
        lines_.append(std::move(line));
        full_ = lines_.size() >= LyricFile::MaxLines;
        return true;
    }
    bool full() const { return full_; }
    QStringList take() { return std::move(lines_); }

private:
    QStringList lines_;
    qint64 bytes_ = 0;
    bool full_ = false;
};

QString oneLine(const QString& text) {
    QString line;
    const qsizetype limit = LyricLineIndex::MaxShownLength;
    line.reserve(std::min(text.size(), limit));
    bool inBreak = false;
    for (const QChar c : text) {
        if (line.size() >= limit)
            break;
        if (c == u'\r' || c == u'\n') {
            inBreak = true;
            continue;
        }
        // Several writers start every entry with a line break; only breaks between words
        // become a blank.
        if (inBreak && !line.isEmpty())
            line += u' ';
        inBreak = false;
        line += c;
    }
    return line.left(limit);
}

} // namespace

QString timeTag(std::uint32_t ms) {
    const std::uint32_t seconds = ms / 1000;
    return QStringLiteral("[%1:%2.%3]")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000 / 10, 2, 10, QLatin1Char('0'));
}

std::vector<std::size_t> earliest(const std::vector<std::uint32_t>& times) {
    std::vector<std::size_t> order(times.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto before = [&times](std::size_t a, std::size_t b) {
        return times[a] != times[b] ? times[a] < times[b] : a < b;
    };
    const std::size_t kept = std::min(order.size(), std::size_t(LyricFile::MaxLines));
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(kept), order.end(), before);
    order.resize(kept);
    return order;
}

QStringList fromSynchronized(const std::vector<TimedText>& entries) {
    std::vector<std::uint32_t> times;
    times.reserve(entries.size());
    for (const TimedText& entry : entries)
        times.push_back(entry.ms);
    BoundedLines lines;
    for (const std::size_t i : earliest(times)) {
        if (!lines.add(timeTag(entries[i].ms) + oneLine(entries[i].text)))
            break;
    }
    return lines.take();
}

bool isTimedLine(QStringView line) {
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < line.size() && line[i] >= u'0' && line[i] <= u'9')
            ++i;
        return i - start;
    };
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t' || line[i] == u'\xFEFF'))
        ++i;
    if (i >= line.size() || line[i++] != u'[' || digits() == 0)
        return false;
    if (i >= line.size() || line[i++] != u':' || digits() != 2)
        return false;
    if (i < line.size() && (line[i] == u'.' || line[i] == u':')) {
        ++i;
        if (digits() == 0)
            return false;
    }
    return i < line.size() && line[i] == u']';
}

QStringList boundedLines(QStringView text) {
    BoundedLines lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && !lines.full(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.add(text.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n && !lines.full())
        lines.add(text.sliced(start).toString());
    return lines.take();
}

QStringList fromLrcText(QStringView text) {
    QStringList lines = boundedLines(text);
    if (std::none_of(lines.cbegin(), lines.cend(),
                     [](const QString& line) { return isTimedLine(line); }))
        return {};
    return lines;
}

QStringList linesOf(const Sources& sources) {
    for (const std::vector<TimedText>& entries : sources.synchronized) {
        if (QStringList lines = fromSynchronized(entries); !lines.isEmpty())
            return lines;
    }
    for (const QString& text : sources.texts) {
        if (QStringList lines = fromLrcText(text); !lines.isEmpty())
            return lines;
    }
    return {};
}

} // namespace EmbeddedLyrics
