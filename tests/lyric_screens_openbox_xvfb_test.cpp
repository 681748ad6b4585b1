// The desktop lyric on an X11 desktop as users have one: openbox managing the windows, a dock
// panel reserving the bottom 40 pixels of the first of two RandR monitors of unequal size, and
// the pointer driven through the X server's test extension, as a user's would come.
#include "desktop_lyric/lyric_window_preferences.h"
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "platform/desktop/system_screen_geometry.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/window_manager.h"
#include "support/x11_client.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

// Rectangles in failure messages.
void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << ',' << rect.y() << ' ' << rect.width() << 'x' << rect.height();
}

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

void xrandr(const QStringList& arguments) {
    QProcess command;
    command.start("xrandr", arguments);
    command.waitForFinished();
}

// Two monitors, 1100 and 820 pixels wide, side by side on the 1920 × 1080 X screen.
const QRect Left(0, 0, 1100, 1080);
const QRect Right(1100, 0, 820, 1080);
constexpr int PanelHeight = 40;
constexpr int LyricHeight = 111;

// Sets the monitors as xrandr sets them and, once Qt runs, waits until Qt has them too.
void setMonitors(const QList<std::pair<QString, QRect>>& monitors) {
    for (const QString name : {"LEFT", "RIGHT", "WIDE"})
        if (std::none_of(monitors.begin(), monitors.end(),
                         [&](const auto& monitor) { return monitor.first == name; }))
            xrandr({"--delmonitor", name});
    bool first = true;
    QList<QRect> areas;
    for (const auto& [name, area] : monitors) {
        xrandr({"--setmonitor", name,
                QStringLiteral("%1/300x%2/300+%3+%4")
                    .arg(area.width())
                    .arg(area.height())
                    .arg(area.x())
                    .arg(area.y()),
                first ? "screen" : "none"});
        first = false;
        areas << area;
    }
    if (!qGuiApp)
        return;
    if (areas.isEmpty())
        areas << QRect(0, 0, 1920, 1080);
    EXPECT_TRUE(testsupport::waitUntil([&] {
        QList<QRect> seen;
        for (const QScreen* screen : QGuiApplication::screens())
            seen << screen->geometry();
        return seen == areas;
    }));
}

// The desktop, made before the application connects so that Qt starts with both monitors:
// the manager, the monitors and a panel along the bottom of the left one that reserves its
// strip as panels do, for its own monitor only and on every workspace.
struct Desktop {
    Desktop() {
        setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
        const QRect strip(0, 1080 - PanelHeight, Left.width(), PanelHeight);
        panel = x.createWindow(strip);
        x.setWords(panel, "_NET_WM_WINDOW_TYPE", "ATOM", {x.atom("_NET_WM_WINDOW_TYPE_DOCK")});
        x.setWords(panel, "_NET_WM_DESKTOP", "CARDINAL", {0xFFFFFFFF});
        setPanelHeight(PanelHeight);
        x.map(panel);
    }
    // The strip the panel reserves, as a panel that grows or shrinks announces it.
    void setPanelHeight(int height) {
        x.setWords(panel, "_NET_WM_STRUT_PARTIAL", "CARDINAL",
                   {0, 0, 0, quint32(height), 0, 0, 0, 0, 0, 0, 0, quint32(Left.width() - 1)});
    }
    ~Desktop() {
        x.destroyWindow(panel);
        setMonitors({});
    }
    testsupport::X11Client x;
    quint32 panel = 0;
};

testsupport::WindowManager* const windowManager =
    new testsupport::WindowManager({"openbox", "--sm-disable"});
Desktop* const desktop = new Desktop;
[[maybe_unused]] const int stopDesktop = std::atexit([] {
    delete desktop;
    delete windowManager;
});

class LyricOnTwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windowManager->started());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(testsupport::waitUntil([] { return QGuiApplication::screens().size() == 2; }));
        world.lyricWindows().settings().setFont(QStringLiteral("DejaVu Sans"), 50);
    }
    void TearDown() override {
        x.fakeInput(XCB_BUTTON_RELEASE, 1);
        setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
    }

    FrmShow& lyric() { return world.lyricWindows().frmShow(); }
    FrmSet& toolbar() { return world.lyricWindows().frmSet(); }
    LyricWindowPreferences& preferences() { return world.lyricWindows().preferences(); }

    void showLyric() {
        lyric().show();
        lyric().DrawText(QStringLiteral("HELLO desktop lyric"));
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return lyric().windowHandle() && lyric().windowHandle()->isExposed(); }));
    }
    // Where the server has the window, whatever frame the manager put it in.
    QRect onServer(QWidget& window) {
        return x.geometry(quint32(window.winId())).value_or(QRect());
    }
    bool lyricAt(const QRect& expected) {
        return testsupport::waitUntil(
            [&] { return lyric().geometry() == expected && onServer(lyric()) == expected; });
    }
    std::string shown() { return ::testing::PrintToString(lyric().geometry()); }
    static QRect restingOn(const QRect& monitor, int panel) {
        return QRect(monitor.x(), monitor.bottom() + 1 - panel - LyricHeight, monitor.width(),
                     LyricHeight);
    }

    // A user's drag by a glyph: pressed on the glyph nearest the middle, moved by steps,
    // released.
    void dragByAGlyph(QPoint by) {
        const QImage& picture = lyric().picture();
        QPoint glyph;
        for (int row = 0; row < picture.height() && glyph.isNull(); ++row)
            for (int column = picture.width() / 2; column < picture.width(); ++column)
                if (qAlpha(picture.pixel(column, row)) > 128) {
                    glyph = QPoint(column, row + 2);
                    break;
                }
        ASSERT_FALSE(glyph.isNull());
        const QPoint start = onServer(lyric()).topLeft() + glyph;
        x.fakeInput(XCB_MOTION_NOTIFY, 0, start);
        x.fakeInput(XCB_BUTTON_PRESS, 1);
        constexpr int Steps = 30;
        for (int step = 1; step <= Steps; ++step) {
            x.fakeInput(XCB_MOTION_NOTIFY, 0, start + by * step / Steps);
            testsupport::waitUntil([] { return false; }, 20);
        }
        x.fakeInput(XCB_BUTTON_RELEASE, 1);
    }

    testsupport::X11Client x;
    TempFolder programFolder;
    std::unique_ptr<ScreenGeometry> screens = systemScreenGeometry();
    SystemMouseTrackPlatform mouseTrack;
    FakeWorld world{programFolder.path(), {.screen = screens.get(), .mouseTrack = &mouseTrack}};
};

// The lyric rests on its own monitor's panel and on the bare bottom edge of the other, through
// monitors removed, resized and added and a panel that grows, as a user's desktop changes them.
TEST_F(LyricOnTwoMonitors, RestsOnThePanelOfItsOwnMonitorAndOnTheBottomEdgeOfTheOther) {
    showLyric();
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0))) << shown();
    preferences().chooseScreen("LEFT");
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();

    desktop->setPanelHeight(64);
    EXPECT_TRUE(lyricAt(restingOn(Left, 64))) << shown();
    desktop->setPanelHeight(PanelHeight);
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();

    setMonitors({{"LEFT", Left}});
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();
    setMonitors({{"WIDE", QRect(0, 0, 1920, 1080)}});
    EXPECT_TRUE(lyricAt(restingOn(QRect(0, 0, 1920, 1080), PanelHeight))) << shown();
    setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0))) << shown();
}

// Dragged by a glyph until most of it lies on the other monitor, in either direction, the lyric
// takes that monitor's width and the menu's tick; chosen there again, it rests on the bottom.
TEST_F(LyricOnTwoMonitors, ADragByAGlyphEndsOnTheMonitorThatHoldsMostOfTheLyric) {
    showLyric();
    ASSERT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();
    dragByAGlyph(QPoint(900, 0));
    EXPECT_TRUE(testsupport::waitUntil([&] { return preferences().screenName() == "RIGHT"; }))
        << shown();
    const int draggedTop = restingOn(Left, PanelHeight).y();
    EXPECT_TRUE(lyricAt(QRect(Right.x(), draggedTop, Right.width(), LyricHeight))) << shown();
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0))) << shown();

    dragByAGlyph(QPoint(-700, 0));
    EXPECT_TRUE(testsupport::waitUntil([&] { return preferences().screenName() == "LEFT"; }))
        << shown();
    // Dropped below the panel's top, it is kept above the panel.
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight))) << shown();
}

// The toolbar goes along with the lyric, by the menu or by a drag, and opens above it within
// the lyric's monitor even where the user had left it near the far edge of the other.
TEST_F(LyricOnTwoMonitors, TheToolbarOpensAboveTheLyricOnTheLyricsMonitor) {
    showLyric();
    FrmSet& bar = toolbar();
    const int lyricTop = restingOn(Left, PanelHeight).y();
    EXPECT_EQ(bar.geometry(), QRect((Left.width() - bar.width()) / 2, lyricTop - bar.height(),
                                    bar.width(), bar.height()));
    bar.move(Left.right() - bar.width(), bar.y());
    const auto opensAbove = [&](const QRect& monitor, int top) {
        bar.show();
        return testsupport::waitUntil([&] {
            const QRect opened = onServer(bar);
            return bar.windowHandle()->isExposed() && monitor.contains(opened) &&
                   opened.bottom() + 1 == top;
        });
    };

    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(opensAbove(Right, restingOn(Right, 0).y()))
        << ::testing::PrintToString(onServer(bar));
    bar.hide();
    dragByAGlyph(QPoint(-700, 0));
    ASSERT_TRUE(testsupport::waitUntil([&] { return preferences().screenName() == "LEFT"; }));
    EXPECT_TRUE(opensAbove(Left, lyric().y())) << ::testing::PrintToString(onServer(bar));
}

// Switching workspaces leaves the line and its toolbar in view.
TEST_F(LyricOnTwoMonitors, TheLyricAndItsToolbarShowOnEveryWorkspace) {
    showLyric();
    toolbar().show();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return toolbar().windowHandle() && toolbar().windowHandle()->isExposed(); }));
    QProcess::execute("xdotool", {"set_num_desktops", "3"});
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return x.words(x.root(), "_NET_NUMBER_OF_DESKTOPS") == QList<quint32>{3}; }));
    QProcess::execute("xdotool", {"set_desktop", "2"});
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return x.words(x.root(), "_NET_CURRENT_DESKTOP") == QList<quint32>{2}; }));
    EXPECT_TRUE(x.viewable(quint32(lyric().winId())));
    EXPECT_TRUE(x.viewable(quint32(toolbar().winId())));
    QProcess::execute("xdotool", {"set_desktop", "0"});
}

} // namespace
