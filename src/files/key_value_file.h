#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// A settings file of lines of key=value that the user may edit, beside lines of their own
// (comments, keys of a later version): the program reads the keys it knows and, when it
// writes one, leaves every other line byte for byte as the user wrote it. Which keys the
// program keeps, and in which file, is settings/program_settings.h.
namespace KeyValueFile {

// The value of the last line that sets key, trimmed; none without such a line, or when the
// file cannot be read or is too large to be a settings file of the program's.
std::optional<QByteArray> read(const QString& file, QByteArrayView key);

// Sets key to value: the first line that sets it is replaced, later ones are dropped, and
// without one the line is added at the end. False when the file could not be written, when
// it is too large to be a settings file of the program's (it is then left alone), or when
// value holds a line break; the file is whole either way.
bool write(const QString& file, QByteArrayView key, QByteArrayView value);

} // namespace KeyValueFile
