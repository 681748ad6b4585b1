#pragma once

#include <QObject>
#include <QString>

// Where the desktop lyric lives and whether it lets every click through to the windows
// beneath it: the screen the user chose, by its output name, and the lock. Both are kept in
// the program's settings file (data/system/vellora.conf), written on every change:
//
//     desktop_lyric_screen=HDMI-1
//     lock_desktop_lyric=yes
//
// No screen line means the primary screen; a lock line other than yes means unlocked.
class LyricWindowPreferences : public QObject {
    Q_OBJECT
public:
    // An empty settingsFile keeps the preferences for this run only.
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
