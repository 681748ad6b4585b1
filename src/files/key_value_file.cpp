#include "files/key_value_file.h"

#include "files/file_replacement.h"
#include "files/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace KeyValueFile {

namespace {

constexpr qint64 MaxBytes = 64 * 1024;

// The whole file, when it is a regular file small enough to be one of the program's; an
// empty text for a missing file.
std::optional<QByteArray> contentsOf(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile() || info.size() > MaxBytes)
        return std::nullopt;
    QFile opened;
    if (!openRegularFile(opened, file))
        return std::nullopt;
    QByteArray bytes = opened.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes)
        return std::nullopt;
    return bytes;
}

// The file's lines with their own line ends, so that they go back as they came.
QList<QByteArrayView> linesWithEnds(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            const qsizetype end = i + (crlf ? 2 : 1);
            lines.append(bytes.sliced(start, end - start));
            start = end;
            i = end - 1;
        }
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

QByteArrayView withoutEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

// The value of the line when it sets key.
std::optional<QByteArray> valueOf(QByteArrayView line, QByteArrayView key) {
    line = withoutEnd(line);
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || line.first(equals).trimmed() != key)
        return std::nullopt;
    return line.sliced(equals + 1).trimmed().toByteArray();
}

} // namespace

std::optional<QByteArray> read(const QString& file, QByteArrayView key) {
    const std::optional<QByteArray> bytes = contentsOf(file);
    if (!bytes)
        return std::nullopt;
    std::optional<QByteArray> value;
    for (const QByteArrayView line : linesWithEnds(*bytes))
        if (std::optional<QByteArray> set = valueOf(line, key))
            value = std::move(set);
    return value;
}

bool write(const QString& file, QByteArrayView key, QByteArrayView value) {
    if (value.contains('\n') || value.contains('\r'))
        return false;
    const std::optional<QByteArray> bytes = contentsOf(file);
    if (!bytes)
        return false;
    const QByteArray setting = key.toByteArray() + '=' + value.toByteArray() + "\r\n";
    QByteArray contents;
    contents.reserve(bytes->size() + setting.size());
    bool written = false;
    for (const QByteArrayView line : linesWithEnds(*bytes)) {
        if (!valueOf(line, key)) {
            contents += line;
        } else if (!written) {
            contents += setting;
            written = true;
        }
    }
    if (!written) {
        // A last line the user left without an end keeps its text and gets one.
        if (!contents.isEmpty() && !contents.endsWith('\n') && !contents.endsWith('\r'))
            contents += "\r\n";
        contents += setting;
    }
    return QDir().mkpath(QFileInfo(file).absolutePath()) && replaceFileContents(file, contents);
}

} // namespace KeyValueFile
