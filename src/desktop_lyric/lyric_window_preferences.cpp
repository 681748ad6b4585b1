#include "desktop_lyric/lyric_window_preferences.h"

#include "settings/program_settings.h"

LyricWindowPreferences::LyricWindowPreferences(QString settingsFile)
    : settingsFile_(std::move(settingsFile)),
      screenName_(ProgramSettings::read(settingsFile_, ProgramSettings::DesktopLyricScreen)
                      .value_or(QString())),
      locked_(ProgramSettings::read(settingsFile_, ProgramSettings::LockDesktopLyric)) {}

// A setting that cannot be written still holds for this run: the lyric follows the user's
// choice whether or not the next start will remember it.
void LyricWindowPreferences::setScreenName(const QString& name) {
    if (name == screenName_ || name.contains(u'\n') || name.contains(u'\r'))
        return;
    screenName_ = name;
    ProgramSettings::write(settingsFile_, ProgramSettings::DesktopLyricScreen, name);
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
    ProgramSettings::write(settingsFile_, ProgramSettings::LockDesktopLyric, locked);
    Q_EMIT lockedChanged(locked);
}
