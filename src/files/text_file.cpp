#include "files/text_file.h"

#include "files/regular_file.h"

#include <QFile>
#include <algorithm>

namespace {

constexpr char Utf8Mark[] = "\xEF\xBB\xBF";
constexpr char Utf16LittleEndianMark[] = "\xFF\xFE";
constexpr char Utf16BigEndianMark[] = "\xFE\xFF";

std::optional<QStringDecoder::Encoding> utf16Encoding(QByteArrayView bytes) {
    if (bytes.startsWith(Utf16LittleEndianMark))
        return QStringDecoder::Utf16LE;
    if (bytes.startsWith(Utf16BigEndianMark))
        return QStringDecoder::Utf16BE;
    return std::nullopt;
}

// Splits decoded text into lines by the same rules as 8-bit bytes.
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

// Finds the line ends of 8-bit text. CR and LF are each looked for with a search that skips
// many bytes at a time, which a full playlist of long paths notices at start.
class LineEndFinder {
public:
    explicit LineEndFinder(QByteArrayView bytes) : bytes_(bytes) {}

    // The first CR or LF at or after from, or the size when there is none.
    qsizetype next(qsizetype from) {
        if (cr_ < from)
            cr_ = find('\r', from);
        if (lf_ < from)
            lf_ = find('\n', from);
        return std::min(cr_, lf_);
    }

    // Just past the line end at end: CR LF is one line end.
    qsizetype after(qsizetype end) const {
        return end +
               (bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n' ? 2 : 1);
    }

private:
    qsizetype find(char c, qsizetype from) const {
        const qsizetype at = bytes_.indexOf(c, from);
        return at < 0 ? bytes_.size() : at;
    }

    QByteArrayView bytes_;
    qsizetype cr_ = -1;
    qsizetype lf_ = -1;
};

// Counts complete 8-bit lines as bytes arrive, so a file is read only as far as the lines
// asked for reach. A CR as the last byte seen may still be followed by LF, so it completes
// its line only once the next byte is known.
class LineEndScanner {
public:
    explicit LineEndScanner(qsizetype maxLines) : maxLines_(maxLines) {}

    // Offset just past the end of the last line wanted, or -1 while it is not complete.
    qsizetype scan(QByteArrayView bytes) {
        LineEndFinder ends(bytes);
        for (;;) {
            const qsizetype end = ends.next(next_);
            if (end == bytes.size() || (bytes[end] == '\r' && end + 1 == bytes.size())) {
                next_ = end;
                return -1;
            }
            next_ = ends.after(end);
            if (++lines_ == maxLines_)
                return next_;
        }
    }

private:
    qsizetype maxLines_;
    qsizetype lines_ = 0;
    qsizetype next_ = 0;
};

// Bytes cut short by the byte limit end in the middle of a line, perhaps of a character:
// the unfinished line goes, so that it cannot spoil how the rest decodes. A file without
// any line end keeps what was read as its one line.
void dropUnfinishedLine(QByteArray& bytes) {
    const std::optional<QStringDecoder::Encoding> utf16 = utf16Encoding(bytes);
    qsizetype end = -1;
    if (!utf16) {
        end = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r')) + 1;
    } else {
        const int low = *utf16 == QStringDecoder::Utf16LE ? 0 : 1;
        for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
            const char c = bytes[i + low];
            if (bytes[i + 1 - low] == 0 && (c == '\r' || c == '\n'))
                end = i + 2;
        }
    }
    if (end > 0)
        bytes.truncate(end);
}

} // namespace

// UTF-16 is read to the byte limit: its line ends are not single bytes.
std::optional<QByteArray> readLineBytes(const QString& path, qsizetype maxLines, qint64 maxBytes) {
    QFile file;
    if (!openRegularFile(file, path))
        return std::nullopt;
    constexpr qint64 ChunkSize = 64 * 1024;
    QByteArray bytes;
    bytes.reserve(std::min(file.size(), maxBytes));
    LineEndScanner scanner(maxLines);
    bool complete = false;
    bool isUtf16 = false;
    while (!file.atEnd() && bytes.size() < maxBytes) {
        const QByteArray chunk = file.read(std::min(ChunkSize, maxBytes - bytes.size()));
        if (chunk.isEmpty())
            break; // a read error keeps what was read so far
        bytes.append(chunk);
        isUtf16 = isUtf16 || utf16Encoding(bytes).has_value();
        if (isUtf16)
            continue;
        const qsizetype end = scanner.scan(bytes);
        if (end >= 0) {
            bytes.truncate(end);
            complete = true;
            break;
        }
    }
    if (!complete && !file.atEnd())
        dropUnfinishedLine(bytes);
    return bytes;
}

// Decoders keep a byte-order mark found at the start of a line as the character it is: only
// the file's own mark, at its very start, is dropped, and that by the splitting.
constexpr auto DecoderFlags =
    QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

LineDecoder::LineDecoder() : utf8_(QStringDecoder::Utf8, DecoderFlags) {}

QString LineDecoder::decode(QByteArrayView line) {
    utf8_.resetState();
    QString text = utf8_.decode(line);
    if (!utf8_.hasError())
        return text;
    if (!gb18030_)
        gb18030_.emplace("GB18030", DecoderFlags);
    if (!gb18030_->isValid())
        return QString::fromLocal8Bit(line);
    gb18030_->resetState();
    return gb18030_->decode(line);
}

QList<QByteArrayView> byteLineViews(QByteArrayView bytes, qsizetype maxLines) {
    if (bytes.startsWith(Utf8Mark))
        bytes = bytes.sliced(3);
    QList<QByteArrayView> lines;
    LineEndFinder ends(bytes);
    for (qsizetype start = 0; start < bytes.size() && lines.size() < maxLines;) {
        const qsizetype end = ends.next(start);
        lines.append(bytes.sliced(start, end - start));
        if (end == bytes.size())
            break;
        start = ends.after(end);
    }
    return lines;
}

QList<QByteArray> splitByteLines(QByteArrayView bytes, qsizetype maxLines) {
    QList<QByteArray> lines;
    for (const QByteArrayView line : byteLineViews(bytes, maxLines))
        lines.append(line.toByteArray());
    return lines;
}

QStringList decodeTextLines(QByteArrayView bytes, qsizetype maxLines) {
    if (const std::optional<QStringDecoder::Encoding> utf16 = utf16Encoding(bytes)) {
        QStringDecoder decoder(*utf16, DecoderFlags);
        return splitTextLines(QString(decoder.decode(bytes.sliced(2))), maxLines);
    }
    // Line ends are single ASCII bytes, never inside a UTF-8 sequence: when the whole text
    // is valid UTF-8 so is each line, and one pass decodes them all.
    const QByteArrayView text = bytes.startsWith(Utf8Mark) ? bytes.sliced(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, DecoderFlags);
    const QString whole = utf8.decode(text);
    if (!utf8.hasError())
        return splitTextLines(whole, maxLines);
    LineDecoder decoder;
    QStringList lines;
    for (const QByteArray& line : splitByteLines(bytes, maxLines))
        lines.append(decoder.decode(line));
    return lines;
}

std::optional<QList<QByteArray>> readByteLines(const QString& path, qsizetype maxLines,
                                               qint64 maxBytes) {
    const std::optional<QByteArray> bytes = readLineBytes(path, maxLines, maxBytes);
    if (!bytes)
        return std::nullopt;
    return splitByteLines(*bytes, maxLines);
}

std::optional<QStringList> readTextLines(const QString& path, qsizetype maxLines, qint64 maxBytes) {
    const std::optional<QByteArray> bytes = readLineBytes(path, maxLines, maxBytes);
    if (!bytes)
        return std::nullopt;
    return decodeTextLines(*bytes, maxLines);
}
