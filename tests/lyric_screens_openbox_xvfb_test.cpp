// The desktop lyric on an X11 desktop as users have one: openbox managing the windows, a dock
// panel reserving the bottom of the first of two RandR monitors of unequal size, and the
// pointer driven through the X server's test extension, as a user's would come.
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
#include "support/x_barrier.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

// Two monitors, 1100 and 820 pixels wide, side by side on the 1920 × 1080 X screen.
const QRect Left(0, 0, 1100, 1080);
const QRect Right(1100, 0, 820, 1080);
const QRect Whole(0, 0, 1920, 1080);
constexpr int PanelHeight = 40;
constexpr int LyricHeight = 111;

// Sets the monitors as xrandr sets them and, once Qt runs, waits until Qt has them too. Qt
// hears of a monitor that comes or goes, not of one that changes: a new size is a new name.
void setMonitors(const QList<std::pair<QString, QRect>>& monitors) {
    const auto xrandr = [](const QStringList& arguments) {
        QProcess command;
        command.start(QStringLiteral("xrandr"), arguments);
        command.waitForFinished();
    };
    QList<QRect> areas;
    for (const QString name : {"LEFT", "RIGHT", "WIDE"})
        if (std::none_of(monitors.begin(), monitors.end(),
                         [&](const auto& monitor) { return monitor.first == name; }))
            xrandr({"--delmonitor", name});
    for (const auto& [name, area] : monitors) {
        xrandr({"--setmonitor", name,
                QStringLiteral("%1/300x%2/300+%3+%4")
                    .arg(area.width())
                    .arg(area.height())
                    .arg(area.x())
                    .arg(area.y()),
                areas.isEmpty() ? "screen" : "none"});
        areas << area;
    }
    if (!qGuiApp)
        return;
    EXPECT_TRUE(testsupport::waitUntil([&] {
        QList<QRect> seen;
        for (const QScreen* screen : QGuiApplication::screens())
            seen << screen->geometry();
        return seen == (areas.isEmpty() ? QList<QRect>{Whole} : areas);
    }));
}

// The desktop, made before the application connects so that Qt starts with both monitors:
// the manager, the monitors, and a panel along the bottom of the left one that reserves its
// strip as panels do, for its own monitor only and on every workspace.
struct Desktop {
    Desktop() {
        setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
        panel = x.createWindow(QRect(0, 1080 - PanelHeight, Left.width(), PanelHeight));
        x.setWords(panel, "_NET_WM_WINDOW_TYPE", "ATOM", {x.atom("_NET_WM_WINDOW_TYPE_DOCK")});
        x.setWords(panel, "_NET_WM_DESKTOP", "CARDINAL", {0xFFFFFFFF});
        setPanelHeight(PanelHeight);
        x.map(panel);
    }
    ~Desktop() {
        x.destroyWindow(panel);
        setMonitors({});
    }
    // As a panel that grows or shrinks announces it.
    void setPanelHeight(int height) {
        x.setWords(panel, "_NET_WM_STRUT_PARTIAL", "CARDINAL",
                   {0, 0, 0, quint32(height), 0, 0, 0, 0, 0, 0, 0, quint32(Left.width() - 1)});
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

QRect restingOn(const QRect& monitor, int panel) {
    return QRect(monitor.x(), monitor.bottom() + 1 - panel - LyricHeight, monitor.width(),
                 LyricHeight);
}

class LyricOnTwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windowManager->started());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        world.lyricWindows().settings().setFont(QStringLiteral("DejaVu Sans"), 50);
        lyric().show();
        lyric().DrawText(QStringLiteral("HELLO desktop lyric"));
        ASSERT_TRUE(shown(lyric()));
    }
    void TearDown() override {
        x.fakeInput(XCB_BUTTON_RELEASE, 1);
        setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
    }

    FrmShow& lyric() { return world.lyricWindows().frmShow(); }
    FrmSet& toolbar() { return world.lyricWindows().frmSet(); }
    LyricWindowPreferences& preferences() { return world.lyricWindows().preferences(); }
    bool shown(QWidget& window) {
        return testsupport::waitUntil(
            [&] { return window.windowHandle() && window.windowHandle()->isExposed(); });
    }
    // Where the server has the window, whatever frame the manager put it in.
    QRect onServer(QWidget& window) {
        return x.geometry(quint32(window.winId())).value_or(QRect());
    }
    ::testing::AssertionResult lyricAt(const QRect& expected) {
        if (testsupport::waitUntil(
                [&] { return lyric().geometry() == expected && onServer(lyric()) == expected; }))
            return ::testing::AssertionSuccess();
        const QRect at = lyric().geometry();
        return ::testing::AssertionFailure()
               << "the lyric is at " << at.x() << ',' << at.y() << ", " << at.width() << " wide";
    }
    bool onScreenNamed(const char* name) {
        return testsupport::waitUntil([&] { return preferences().screenName() == name; });
    }

    // A user's drag by a glyph, which the window manager carries out once Qt has asked it to:
    // each step of the pointer waits until the manager has moved the window along. A drag
    // the manager did not take up (on a busy machine it may miss the start) is tried again,
    // as a user would.
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
        bool carried = false;
        for (int attempt = 0; attempt < 3 && !carried; ++attempt) {
            // Pressed once the glyph is there to take it: the manager cuts its frame to the
            // window's new shape when it gets round to it.
            x.fakeInput(XCB_MOTION_NOTIFY, 0, start);
            ASSERT_TRUE(testsupport::waitUntil([&] { return x.childUnderPointer() != 0; }));
            x.fakeInput(XCB_BUTTON_PRESS, 1);
            x.fakeInput(XCB_MOTION_NOTIFY, 0, start + QPoint(by.x() > 0 ? 4 : -4, 0));
            ASSERT_TRUE(testsupport::qtHasHandledEventsSentSoFar(lyric()));
            carried = stepTo(start + by / 10);
            if (!carried) {
                x.fakeInput(XCB_BUTTON_RELEASE, 1);
                ASSERT_TRUE(testsupport::qtHasHandledEventsSentSoFar(lyric()));
            }
        }
        ASSERT_TRUE(carried);
        for (int step = 2; step <= 10; ++step)
            ASSERT_TRUE(stepTo(start + by * step / 10));
        x.fakeInput(XCB_BUTTON_RELEASE, 1);
    }
    // The pointer goes to at, stirring by a pixel, until the manager has moved the window.
    bool stepTo(QPoint at) {
        const QPoint before = onServer(lyric()).topLeft();
        int turns = 0;
        return testsupport::waitUntil([&] {
            if (turns++ % 50 == 0)
                x.fakeInput(XCB_MOTION_NOTIFY, 0, at + QPoint(turns / 50 % 2, 0));
            return onServer(lyric()).topLeft() != before;
        });
    }

    testsupport::X11Client x;
    TempFolder programFolder;
    std::unique_ptr<ScreenGeometry> screens = systemScreenGeometry();
    SystemMouseTrackPlatform mouseTrack;
    FakeWorld world{programFolder.path(), {.screen = screens.get(), .mouseTrack = &mouseTrack}};
};

// The lyric rests on its own monitor's panel and on the bare bottom edge of the other, through
// a panel that grows and monitors removed, resized and added.
TEST_F(LyricOnTwoMonitors, RestsOnThePanelOfItsOwnMonitorAndOnTheBottomEdgeOfTheOther) {
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight)));
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0)));
    preferences().chooseScreen("LEFT");
    desktop->setPanelHeight(64);
    EXPECT_TRUE(lyricAt(restingOn(Left, 64)));
    desktop->setPanelHeight(PanelHeight);
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight)));

    setMonitors({{"LEFT", Left}});
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight)));
    setMonitors({{"WIDE", Whole}});
    EXPECT_TRUE(lyricAt(restingOn(Whole, PanelHeight)));
    setMonitors({{"LEFT", Left}, {"RIGHT", Right}});
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0)));
}

// Dragged by a glyph until most of it lies on the other monitor, in either direction, the lyric
// takes that monitor's width and the menu's tick; chosen there again, it rests on the bottom.
TEST_F(LyricOnTwoMonitors, ADragByAGlyphEndsOnTheMonitorThatHoldsMostOfTheLyric) {
    ASSERT_TRUE(lyricAt(restingOn(Left, PanelHeight)));
    dragByAGlyph(QPoint(900, 0));
    EXPECT_TRUE(onScreenNamed("RIGHT"));
    const int draggedTop = restingOn(Left, PanelHeight).y();
    EXPECT_TRUE(lyricAt(QRect(Right.x(), draggedTop, Right.width(), LyricHeight)));
    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(lyricAt(restingOn(Right, 0)));

    dragByAGlyph(QPoint(-700, 0));
    EXPECT_TRUE(onScreenNamed("LEFT"));
    // Dropped below the panel's top, it is kept above the panel.
    EXPECT_TRUE(lyricAt(restingOn(Left, PanelHeight)));
}

// The toolbar goes along with the lyric, by the menu or by a drag, and opens above it within
// the lyric's monitor even where the user had left it near the far edge of the other.
TEST_F(LyricOnTwoMonitors, TheToolbarOpensAboveTheLyricOnTheLyricsMonitor) {
    FrmSet& bar = toolbar();
    const int lyricTop = restingOn(Left, PanelHeight).y();
    EXPECT_EQ(bar.pos(), QPoint((Left.width() - bar.width()) / 2, lyricTop - bar.height()));
    bar.move(Left.right() - bar.width(), bar.y());
    const auto opensAbove = [&](const QRect& monitor) {
        bar.show();
        return shown(bar) && testsupport::waitUntil([&] {
                   const QRect opened = onServer(bar);
                   return monitor.contains(opened) && opened.bottom() + 1 == lyric().y();
               });
    };

    preferences().chooseScreen("RIGHT");
    EXPECT_TRUE(opensAbove(Right));
    bar.hide();
    dragByAGlyph(QPoint(-700, 0));
    ASSERT_TRUE(onScreenNamed("LEFT"));
    EXPECT_TRUE(opensAbove(Left));
}

// Switching workspaces leaves the line and its toolbar in view.
TEST_F(LyricOnTwoMonitors, TheLyricAndItsToolbarShowOnEveryWorkspace) {
    toolbar().show();
    ASSERT_TRUE(shown(toolbar()));
    const auto xdotool = [&](const char* command, quint32 value, const char* property) {
        QProcess::execute("xdotool", {command, QString::number(value)});
        return testsupport::waitUntil(
            [&] { return x.words(x.root(), property) == QList<quint32>{value}; });
    };
    ASSERT_TRUE(xdotool("set_num_desktops", 3, "_NET_NUMBER_OF_DESKTOPS"));
    ASSERT_TRUE(xdotool("set_desktop", 2, "_NET_CURRENT_DESKTOP"));
    EXPECT_TRUE(x.viewable(quint32(lyric().winId())));
    EXPECT_TRUE(x.viewable(quint32(toolbar().winId())));
    EXPECT_TRUE(xdotool("set_desktop", 0, "_NET_CURRENT_DESKTOP"));
}

} // namespace
