#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

// Text files the program reads were written by it (UTF-8), by older tools in the Chinese
// ANSI code page (GB18030), or, for lyrics, by Windows tools in UTF-16. One file may mix
// the first two line by line (a playlist kept across versions of the player), so 8-bit
// files are decoded a line at a time. CR, CR LF and LF each end a line; the terminator is
// not part of the line, a last line without one still counts, and a final terminator adds
// no empty line.

// Decodes one line of an 8-bit text file: as UTF-8 where it is valid UTF-8, otherwise as
// GB18030, which accepts every byte sequence. Holds its decoders, so one serves a file; the
// GB18030 one is made only for a line that needs it, so one line of UTF-8 costs little.
class LineDecoder {
public:
    LineDecoder();
    QString decode(QByteArrayView line);

private:
    QStringDecoder utf8_;
    std::optional<QStringDecoder> gb18030_;
};

// The lines of an 8-bit text, at most maxLines, as raw bytes. A UTF-8 byte-order mark at
// the start is not part of the first line. The views point into bytes.
QList<QByteArrayView> byteLineViews(QByteArrayView bytes, qsizetype maxLines);
QList<QByteArray> splitByteLines(QByteArrayView bytes, qsizetype maxLines);

// The lines of a text file's bytes, at most maxLines, decoded: UTF-16 of either byte order
// when the bytes start with its byte-order mark, otherwise line by line as above.
QStringList decodeTextLines(QByteArrayView bytes, qsizetype maxLines);

// Files are read only as far as their first maxLines lines reach, and never beyond
// maxBytes, so a huge or binary file costs bounded memory and time; a line cut by maxBytes
// is dropped whole. Only regular files are read: a named pipe or a device would block the
// reader or never end. Empty optional when the file cannot be opened (missing, not a
// regular file, no permission); a read error keeps the lines read before it.
inline constexpr qint64 DefaultMaxTextBytes = 64 * 1024 * 1024;

// The file's bytes as far as its first maxLines lines reach, for a reader that splits them
// itself (byteLineViews) without a copy of every line.
std::optional<QByteArray> readLineBytes(const QString& path, qsizetype maxLines,
                                        qint64 maxBytes = DefaultMaxTextBytes);

// Raw lines, for files whose entries are written back exactly as they were read.
std::optional<QList<QByteArray>> readByteLines(const QString& path, qsizetype maxLines,
                                               qint64 maxBytes = DefaultMaxTextBytes);

std::optional<QStringList> readTextLines(const QString& path, qsizetype maxLines,
                                         qint64 maxBytes = DefaultMaxTextBytes);
