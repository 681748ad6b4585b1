#include "settings/program_settings.h"

#include "files/key_value_file.h"
#include "player/program_files.h"

#include <QDir>

namespace ProgramSettings {

Files in(const QString& dataFolder) {
    return {.lyricLook = programFilePath(dataFolder, QStringLiteral("data/system/desktoplrc.pst")),
            .program = QDir(dataFolder).filePath(QStringLiteral("data/system/vellora.conf"))};
}

bool read(const QString& file, Switch setting) {
    if (file.isEmpty())
        return setting.onByDefault;
    const std::optional<QByteArray> value = KeyValueFile::read(file, setting.key);
    if (value && value->compare("yes", Qt::CaseInsensitive) == 0)
        return true;
    if (value && value->compare("no", Qt::CaseInsensitive) == 0)
        return false;
    return setting.onByDefault;
}

bool write(const QString& file, Switch setting, bool on) {
    return !file.isEmpty() && KeyValueFile::write(file, setting.key, on ? "yes" : "no");
}

std::optional<QString> read(const QString& file, Text setting) {
    if (file.isEmpty())
        return std::nullopt;
    if (const std::optional<QByteArray> value = KeyValueFile::read(file, setting.key))
        return QString::fromUtf8(*value);
    return std::nullopt;
}

bool write(const QString& file, Text setting, const QString& value) {
    return !file.isEmpty() && KeyValueFile::write(file, setting.key, value.toUtf8());
}

} // namespace ProgramSettings
