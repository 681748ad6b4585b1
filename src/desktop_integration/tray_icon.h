#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

class LyricWindowPreferences;
class MediaEngine;
class PlayerCore;
class QAction;
class QWidget;

// The player in the desktop's tray: Qt speaks StatusNotifierItem where a tray host is on the
// session bus, else the X11 system tray. The tooltip names the open track; the menu plays or
// pauses, steps, shows and locks the desktop lyric, and quits with the main window's fade.
// Activating the icon brings the main window up, or minimises it when it is the active one.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    static constexpr auto PlayText = u"播放";
    static constexpr auto PauseText = u"暂停";
    static constexpr auto PreviousText = u"上一首";
    static constexpr auto NextText = u"下一首";
    static constexpr auto DesktopLyricText = u"桌面歌词";
    static constexpr auto QuitText = u"退出";

    // raiseWindow brings the main window to the front, as a second start does.
    TrayIcon(PlayerCore& core, const MediaEngine& engine, LyricWindowPreferences& lyricPreferences,
             QWidget& mainWindow, std::function<void()> raiseWindow, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon in the desktop's tray; an X11 system tray that comes later gets it then.
    void show() { icon_.show(); }

private:
    // The main window up, or minimised when it is the active one.
    void activate();
    void updateToolTip();
    void updatePlayState();

    PlayerCore& core_;
    const MediaEngine& engine_;
    QWidget& mainWindow_;
    std::function<void()> raiseWindow_;
    // The icon refers to its menu, so the menu is declared first and goes last.
    QMenu menu_;
    QSystemTrayIcon icon_;
    QAction* playPause_;
    QAction* desktopLyric_;
    QAction* lock_;
};
