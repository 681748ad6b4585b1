#pragma once

#include <QObject>
#include <QString>

// Where the desktop lyric lives and whether it lets every click through to the windows
// beneath it: the screen the user chose, by its output name, and the lock. Both are lines of
// vellora.conf (settings/program_settings.h), read at start and written on every change.
class LyricWindowPreferences : public QObject {
    Q_OBJECT
public:
    // settingsFile: ProgramSettings::Files::program; an empty one keeps the preferences for
    // this run only.
    explicit LyricWindowPreferences(QString settingsFile);

    QString screenName() const { return screenName_; }
    // Keeps the screen the lyric is on now. A name with a line break names no output and is
    // refused.
    void setScreenName(const QString& name);
    // The user chose the screen: the lyric goes back to rest on it, even where it already is.
    void chooseScreen(const QString& name);

    bool locked() const { return locked_; }
    void setLocked(bool locked);

Q_SIGNALS:
    void screenNameChanged(const QString& name);
    void screenChosen(const QString& name);
    void lockedChanged(bool locked);

private:
    QString settingsFile_;
    QString screenName_;
    bool locked_ = false;
};
