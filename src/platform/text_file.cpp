#include "platform/text_file.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

namespace {

// Counts complete lines as bytes arrive, so a file is read only as far as the lines asked
// for reach. A CR as the last byte seen may still be followed by LF, so it completes its
// line only once the next byte is known.
class LineEndScanner {
public:
    explicit LineEndScanner(qsizetype maxLines) : maxLines_(maxLines) {}

    // Offset just past the end of the last line wanted, or -1 while it is not complete.
    qsizetype scan(const QByteArray& bytes) {
        for (; next_ < bytes.size(); ++next_) {
            const char c = bytes[next_];
            if (c == '\r' && next_ + 1 == bytes.size())
                return -1;
            if (c != '\r' && c != '\n')
                continue;
            if (c == '\r' && bytes[next_ + 1] == '\n')
                ++next_;
            if (++lines_ == maxLines_)
                return next_ + 1;
        }
        return -1;
    }

private:
    qsizetype maxLines_;
    qsizetype lines_ = 0;
    qsizetype next_ = 0;
};

} // namespace

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid())
        return gb18030.decode(bytes);
    return QString::fromLocal8Bit(bytes);
}

QStringList splitTextLines(QStringView text, qsizetype maxLines) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n && lines.size() < maxLines; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n && lines.size() < maxLines)
        lines.append(text.mid(start).toString());
    return lines;
}

std::optional<QStringList> readTextLines(const QString& path, qsizetype maxLines, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    constexpr qint64 ChunkSize = 64 * 1024;
    QByteArray bytes;
    LineEndScanner scanner(maxLines);
    bool complete = false;
    while (!file.atEnd() && bytes.size() < maxBytes) {
        const QByteArray chunk = file.read(std::min(ChunkSize, maxBytes - bytes.size()));
        if (chunk.isEmpty())
            break; // a read error keeps what was read so far
        bytes.append(chunk);
        const qsizetype end = scanner.scan(bytes);
        if (end >= 0) {
            bytes.truncate(end);
            complete = true;
            break;
        }
    }
    // Stopped by the byte limit in the middle of a line, perhaps of a character: the
    // unfinished line goes, so that it cannot spoil how the rest decodes.
    if (!complete && !file.atEnd()) {
        const qsizetype lastEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        if (lastEnd >= 0)
            bytes.truncate(lastEnd + 1);
    }
    return splitTextLines(decodeText(bytes), maxLines);
}
