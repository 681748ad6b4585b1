#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The program's own settings file, data/system/vellora.conf in its data folder: lines of
// key=value that the user may edit, beside lines of their own (comments, keys of a later
// version). The program reads the keys it knows and, when it writes one, leaves every other
// line byte for byte as the user wrote it.
namespace KeyValueFile {

// <data folder>/data/system/vellora.conf
QString programSettingsIn(const QString& dataFolder);

// The value of the last line that sets key, trimmed; none without such a line, or when the
// file cannot be read or is too large to be a settings file of the program's.
std::optional<QByteArray> read(const QString& file, QByteArrayView key);

// Sets key to value: the first line that sets it is replaced, later ones are dropped, and
// without one the line is added at the end. False when the file could not be written, when
// it is too large to be a settings file of the program's (it is then left alone), or when
// value holds a line break; the file is whole either way.
bool write(const QString& file, QByteArrayView key, QByteArrayView value);

// A switch kept as "yes" or "no": on only where the key says yes, in any case.
bool readSwitch(const QString& file, QByteArrayView key);
bool writeSwitch(const QString& file, QByteArrayView key, bool on);

} // namespace KeyValueFile
