#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <functional>

class LyricWindowPreferences;
class OpenedTrack;
class QAction;
class QMenu;
class QWidget;
struct DesktopScreen;

// The desktop lyric's own entries: the lock, and with several screens the choice of one.
struct DesktopLyricChoices {
    LyricWindowPreferences* preferences = nullptr; // none: no such entries
    std::function<QList<DesktopScreen>()> screens; // as they are when the menu opens
};

// The lyrics menu that a right click on a lyric surface opens: whether to search online by
// itself when a track has no lyrics, a search now, another candidate when the lyrics found
// are wrong, and the search window for the open track; then the desktop lyric's lock and,
// with two screens or more, its screen. Made on a surface, it belongs to it:
//
//     new LyricMenu(surface, core.openedTrack(), {&preferences, listScreens}, openWindow);
//
// The surface keeps its look; only its context menu is taken, and controls on it without a
// menu of their own (a label, say) open this one too.
class LyricMenu : public QObject {
    Q_OBJECT
public:
    static constexpr auto SearchOnlineText = u"无歌词时自动在线搜索";
    static constexpr auto SearchNowText = u"立即搜索歌词";
    static constexpr auto AnotherCandidateText = u"换一个歌词";
    static constexpr auto SearchWindowText = u"搜索歌词…";
    static constexpr auto LockText = u"锁定桌面歌词";
    static constexpr auto ScreenText = u"桌面歌词所在屏幕";

    // searchWindow opens the search window for the open track; none: no such entry.
    LyricMenu(QWidget* surface, OpenedTrack& track, DesktopLyricChoices desktopLyric = {},
              std::function<void()> searchWindow = {});

    QMenu* menu();
    // Opens the menu at a point of the screen, its entries showing the state as it is now.
    void popup(const QPoint& globalPosition);

Q_SIGNALS:
    // The user chose an entry; said before the entry's work begins.
    void used();

private:
    void listScreens();

    QWidget* surface_;
    OpenedTrack& track_;
    DesktopLyricChoices desktopLyric_;
    std::function<void()> searchWindow_;
    QMenu* menu_ = nullptr;
    QAction* searchOnline_ = nullptr;
    QAction* searchNow_ = nullptr;
    QAction* anotherCandidate_ = nullptr;
    QAction* searchWindowEntry_ = nullptr;
    QAction* lock_ = nullptr;
    QMenu* screenMenu_ = nullptr;
};
