// The toolbar under a window manager that carries out window moves (openbox), with the
// pointer and its buttons driven through the X server's test extension, so that the
// crossing events of the manager's pointer grab reach the toolbar as they would a user's.
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/frm_set.h"
#include "forms/lyric_windows.h"
#include "forms/picture_box.h"
#include "platform/qt_screen_geometry.h"
#include "platform/system_mouse_track_platform.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "window_services/c_mouse_track.h"

#include <QGuiApplication>
#include <QWindow>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

extern char** environ;

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

QList<xcb_atom_t> rootProperties(xcb_connection_t* x, xcb_window_t root) {
    QList<xcb_atom_t> atoms;
    if (xcb_list_properties_reply_t* reply =
            xcb_list_properties_reply(x, xcb_list_properties(x, root), nullptr)) {
        const xcb_atom_t* listed = xcb_list_properties_atoms(reply);
        atoms = QList<xcb_atom_t>(listed, listed + xcb_list_properties_atoms_length(reply));
        std::free(reply);
    }
    return atoms;
}

// openbox, started before the application object connects so that Qt reads the manager's
// abilities at its start, and stopped after the last test. The properties it leaves on the
// root window go with it, or later test programs on the same server would take a manager
// for running.
class WindowManager {
public:
    WindowManager() : x_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
        before_ = rootProperties(x_, root_);
        char program[] = "openbox";
        char option[] = "--sm-disable";
        char* arguments[] = {program, option, nullptr};
        if (posix_spawnp(&pid_, program, nullptr, nullptr, arguments, environ) != 0)
            pid_ = 0;
        // The manager is ready once it takes a new window into a frame of its own.
        const xcb_window_t probe = xcb_generate_id(x_);
        xcb_create_window(x_, XCB_COPY_FROM_PARENT, probe, root_, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(x_, probe);
        xcb_flush(x_);
        for (int tries = 0; pid_ && tries < 10000 && !framed(probe); ++tries)
            usleep(1000);
        xcb_destroy_window(x_, probe);
        sync();
    }
    ~WindowManager() {
        if (pid_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        for (xcb_atom_t property : rootProperties(x_, root_))
            if (!before_.contains(property))
                xcb_delete_property(x_, root_, property);
        sync();
        xcb_disconnect(x_);
    }

    bool started() const { return pid_ != 0; }

private:
    bool framed(xcb_window_t window) const {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(x_, xcb_query_tree(x_, window), nullptr);
        const bool inFrame = tree && tree->parent != root_;
        std::free(tree);
        return inFrame;
    }
    void sync() { std::free(xcb_get_input_focus_reply(x_, xcb_get_input_focus(x_), nullptr)); }

    xcb_connection_t* x_;
    xcb_window_t root_ = 0;
    QList<xcb_atom_t> before_;
    pid_t pid_ = 0;
};

WindowManager* const windowManager = new WindowManager;
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
        ASSERT_FALSE(xcb_connection_has_error(x));
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        FrmSet& toolbar = bar();
        toolbar.show();
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return toolbar.windowHandle() && toolbar.windowHandle()->isExposed(); }));
        toolbar.Pic->installEventFilter(&heard);
    }
    void TearDown() override {
        // A test that stopped half way must not leave the button held for the next.
        input(XCB_BUTTON_RELEASE, 1);
        xcb_disconnect(x);
    }

    FrmSet& bar() { return windows.frmSet(); }

    void input(uint8_t type, uint8_t detail, QPoint at = {}) {
        xcb_test_fake_input(x, type, detail, XCB_CURRENT_TIME, root(), int16_t(at.x()),
                            int16_t(at.y()), 0);
    }
    // Where the server has the bar: Qt learns of the frame's moves later.
    QPoint onScreen(QPoint local) {
        xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
            x,
            xcb_translate_coordinates(x, xcb_window_t(bar().winId()), root(), int16_t(local.x()),
                                      int16_t(local.y())),
            nullptr);
        const QPoint global = reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint();
        std::free(reply);
        return global;
    }
    xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root; }

    // Over the bare surface, with the leave tracking armed as a user's pointer would arm it.
    void pointAtBareSurface() {
        // From outside: a pointer that is there already would not move. Entering is no move
        // yet, the next step is.
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, -100)));
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 14)));
        xcb_flush(x);
        ASSERT_TRUE(testsupport::waitUntil([&] { return heard.types.contains(QEvent::Enter); }));
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 15)));
        xcb_flush(x);
        ASSERT_TRUE(testsupport::waitUntil([&] { return bar().m_cPTM->Tracking(); }));
        heard.types.clear();
    }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    TempFolder programFolder;
    QtScreenGeometry screen;
    FakeDialogs dialogs;
    FakeWindowTextChannel textChannel;
    SystemMouseTrackPlatform mouseTrack;
    LyricWindows windows{
        LyricWindowServices{screen, dialogs, textChannel, mouseTrack, programFolder.path()}};
    SurfaceEvents heard;
};

// A press there is the start of a drag, which the window manager carries out; a tap whose
// release follows at once must neither hide the bar nor leave the manager holding the
// pointer for a move.
TEST_F(ToolbarUnderAWindowManager, AQuickTapOnTheBareSurfaceKeepsTheBar) {
    pointAtBareSurface();
    input(XCB_BUTTON_PRESS, 1);
    input(XCB_BUTTON_RELEASE, 1);
    xcb_flush(x);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return heard.types.contains(QEvent::MouseButtonRelease) || !bar().isVisible(); }));
    // While a manager's move holds the pointer, moves reach the manager, not the bar; the
    // pointer steps back and forth over the bar until one arrives (or the bar is gone).
    const qsizetype released = heard.types.indexOf(QEvent::MouseButtonRelease);
    const QPoint where = onScreen({});
    int step = 0;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        input(XCB_MOTION_NOTIFY, 0, onScreen(QPoint(190, 15 + (++step & 1))));
        xcb_flush(x);
        return heard.types.indexOf(QEvent::MouseMove, released) > released || !bar().isVisible();
    }));
    EXPECT_TRUE(bar().isVisible());
    EXPECT_EQ(onScreen({}), where);
}

} // namespace
