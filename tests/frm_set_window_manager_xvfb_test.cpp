// The toolbar under a window manager that carries out window moves (openbox), with the
// pointer and its buttons driven through the X server's test extension, so that the
// crossing events of the manager's pointer grab reach the toolbar as they would a user's.
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/lyric_windows.h"
#include "forms/picture_box.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "support/controls.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/window_manager.h"
#include "support/x11_client.h"
#include "window_services/c_mouse_track.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

testsupport::WindowManager* const windowManager =
    new testsupport::WindowManager({"openbox", "--sm-disable"});
[[maybe_unused]] const int stopManager = std::atexit([] { delete windowManager; });

// Which events the bar's surface heard, in order.
class SurfaceEvents : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        types << event->type();
        return false;
    }
    QList<QEvent::Type> types;
};

class ToolbarUnderAWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windowManager->started());
        ASSERT_TRUE(x.connected());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        FrmSet& toolbar = bar();
        toolbar.show();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return toolbar.windowHandle() && toolbar.windowHandle()->isExposed(); }));
        testsupport::controlOf(toolbar, "Pic")->installEventFilter(&heard);
    }
    void TearDown() override {
        // A test that stopped half way must not leave the button held for the next.
        x.fakeInput(XCB_BUTTON_RELEASE, 1);
    }

    FrmSet& bar() { return world.lyricWindows().frmSet(); }

    void input(uint8_t type, uint8_t detail, QPoint at = {}) { x.fakeInput(type, detail, at); }
    // Where the server has the bar: Qt learns of the frame's moves later.
    QPoint onScreen(QPoint local) {
        return x.geometry(quint32(bar().winId())).value_or(QRect()).topLeft() + local;
    }

    // Over the bare surface, with the leave tracking armed as a user's pointer would arm it.
    void pointAtBareSurface() {
        // From outside: a pointer that is there already would not move. Entering is no move
        // yet, the next step is.
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, -100)));
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 14)));
        ASSERT_TRUE(testsupport::waitUntil([&] { return heard.types.contains(QEvent::Enter); }));
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 15)));
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return testsupport::controlOf<cMouseTrack>(bar(), "m_cPTM")->Tracking(); }));
        heard.types.clear();
    }

    testsupport::X11Client x;
    TempFolder programFolder;
    QtScreenGeometry screen;
    SystemMouseTrackPlatform mouseTrack;
    FakeWorld world{programFolder.path(), {.screen = &screen, .mouseTrack = &mouseTrack}};
    SurfaceEvents heard;
};

// A press there is the start of a drag, which the window manager carries out; a tap whose
// release follows at once must neither hide the bar nor leave the manager holding the
// pointer for a move.
TEST_F(ToolbarUnderAWindowManager, AQuickTapOnTheBareSurfaceKeepsTheBar) {
    pointAtBareSurface();
    input(XCB_BUTTON_PRESS, 1);
    input(XCB_BUTTON_RELEASE, 1);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return heard.types.contains(QEvent::MouseButtonRelease) || !bar().isVisible(); }));
    // While a manager's move holds the pointer, moves reach the manager, not the bar; the
    // pointer steps back and forth over the bar until one arrives (or the bar is gone).
    const qsizetype released = heard.types.indexOf(QEvent::MouseButtonRelease);
    const QPoint where = onScreen({});
    int step = 0;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 15 + (++step & 1))));
        return heard.types.indexOf(QEvent::MouseMove, released) > released || !bar().isVisible();
    }));
    EXPECT_TRUE(bar().isVisible());
    EXPECT_EQ(onScreen({}), where);
}

} // namespace
