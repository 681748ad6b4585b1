#include "desktop_lyric/lyric_window_preferences.h"

#include "files/key_value_file.h"

namespace {

constexpr QByteArrayView ScreenKey = "desktop_lyric_screen";
constexpr QByteArrayView LockKey = "lock_desktop_lyric";

} // namespace

LyricWindowPreferences::LyricWindowPreferences(QString settingsFile)
    : settingsFile_(std::move(settingsFile)) {
    if (settingsFile_.isEmpty())
        return;
    if (const auto screen = KeyValueFile::read(settingsFile_, ScreenKey))
        screenName_ = QString::fromUtf8(*screen);
    locked_ = KeyValueFile::readSwitch(settingsFile_, LockKey);
}

// A setting that cannot be written still holds for this run: the lyric follows the user's
// choice whether or not the next start will remember it.
void LyricWindowPreferences::setScreenName(const QString& name) {
    if (name == screenName_ || name.contains(u'\n') || name.contains(u'\r'))
        return;
    screenName_ = name;
    if (!settingsFile_.isEmpty())
        KeyValueFile::write(settingsFile_, ScreenKey, name.toUtf8());
    Q_EMIT screenNameChanged(name);
}

void LyricWindowPreferences::chooseScreen(const QString& name) {
    setScreenName(name);
    if (name == screenName_)
        Q_EMIT screenChosen(name);
}

void LyricWindowPreferences::setLocked(bool locked) {
    if (locked == locked_)
        return;
    locked_ = locked;
    if (!settingsFile_.isEmpty())
        KeyValueFile::writeSwitch(settingsFile_, LockKey, locked);
    Q_EMIT lockedChanged(locked);
}
