#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Text files the program reads were written by it (UTF-8) or by older tools in the
// Chinese ANSI code page. Valid UTF-8 is read as UTF-8 with any byte-order mark dropped;
// anything else is read as GB18030, which accepts every byte sequence.
QString decodeText(const QByteArray& bytes);

// Splits text into lines. CR, CR LF and LF each end a line; the terminator is not part of
// the line, a last line without a terminator still counts and a final terminator adds no
// empty line. At most maxLines lines are returned.
QStringList splitTextLines(QStringView text, qsizetype maxLines);

// Reads the first maxLines lines of a file, decoded as above, without reading further
// than those lines need, and never more than maxBytes, so a huge or binary file costs
// bounded memory and time. Empty optional when the file cannot be opened (missing, a
// directory, no permission); a read error keeps the lines read before it.
std::optional<QStringList> readTextLines(const QString& path, qsizetype maxLines,
                                         qint64 maxBytes = 64 * 1024 * 1024);
