#include "lyric_sources/online_lyrics_setting.h"

#include "files/key_value_file.h"

namespace OnlineLyricsSetting {

namespace {

constexpr QByteArrayView Key = "search_lyrics_online";

} // namespace

QString fileIn(const QString& dataFolder) {
    return KeyValueFile::programSettingsIn(dataFolder);
}

bool read(const QString& settingsFile) {
    const std::optional<QByteArray> value = KeyValueFile::read(settingsFile, Key);
    return value && value->compare("yes", Qt::CaseInsensitive) == 0;
}

bool write(const QString& settingsFile, bool on) {
    return KeyValueFile::write(settingsFile, Key, on ? "yes" : "no");
}

} // namespace OnlineLyricsSetting
