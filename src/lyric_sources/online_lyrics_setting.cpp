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
    return KeyValueFile::readSwitch(settingsFile, Key);
}

bool write(const QString& settingsFile, bool on) {
    return KeyValueFile::writeSwitch(settingsFile, Key, on);
}

} // namespace OnlineLyricsSetting
