// The desktop lyric and its toolbar under KDE's window manager on X11 (kwin_x11), which by
// default hides the utility windows of every program but the active one: another program
// takes the focus, and both windows must stay shown, on top and out of the taskbar.
#include "desktop_lyric/colour_schemes.h"
#include "fakes/fake_desktop_services.h"
#include "fakes/fake_window_text_channel.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "platform/presenters/system_window_presenter.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/window_manager.h"

#include <QGuiApplication>
#include <QProcess>
#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

testsupport::WindowManager* const kwin = new testsupport::WindowManager({"kwin_x11", "--replace"});
[[maybe_unused]] const int stopKWin = std::atexit([] { delete kwin; });

class LyricWindowsUnderKWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kwin->started());
        ASSERT_FALSE(xcb_connection_has_error(x));
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        LyricSettings& settings = windows.settings();
        settings.setFont(QStringLiteral("DejaVu Sans"), 50);
        settings.chooseColourScheme(3);
    }
    void TearDown() override {
        if (other.state() != QProcess::NotRunning) {
            other.kill();
            other.waitForFinished();
        }
        xcb_disconnect(x);
    }

    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return found;
    }
    QList<uint32_t> property(xcb_window_t window, const char* name) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        QList<uint32_t> values;
        if (reply && reply->format == 32) {
            const auto* words = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values = QList<uint32_t>(words, words + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }
    QByteArray title(xcb_window_t window) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            x,
            xcb_get_property(x, 0, window, atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        QByteArray text;
        if (reply)
            text = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                              xcb_get_property_value_length(reply));
        std::free(reply);
        return text;
    }
    bool viewable(const QWidget& window) {
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            x, xcb_get_window_attributes(x, xcb_window_t(window.winId())), nullptr);
        const bool shown = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return shown;
    }
    xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root; }

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    TempFolder programFolder;
    QtScreenGeometry screen;
    FakeDialogs dialogs;
    FakeWindowTextChannel textChannel;
    SystemMouseTrackPlatform mouseTrack;
    LyricSettings lyricSettings{programFolder.path()};
    LyricWindows windows{LyricWindowServices{lyricSettings, screen, dialogs, textChannel,
                                             mouseTrack, programFolder.path(),
                                             systemWindowPresenterOnFirstUse()}};
    QProcess other;
};

TEST_F(LyricWindowsUnderKWin, StayShownOnTopAndOutOfTheTaskbarWhileAnotherProgramIsActive) {
    FrmShow& lyric = windows.frmShow();
    lyric.show();
    lyric.DrawText(QStringLiteral("HELLO desktop lyric"));
    FrmSet& toolbar = windows.frmSet();
    toolbar.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return viewable(lyric) && viewable(toolbar); }));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    other.setProcessEnvironment(environment);
    other.start(CLICK_TARGET, {"another program", "#208040"});
    // KWin hides the windows it hides while it makes the other program's window active.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            const QList<uint32_t> active = property(root(), "_NET_ACTIVE_WINDOW");
            return !active.isEmpty() && title(active.first()) == "another program";
        },
        30000));
    EXPECT_TRUE(viewable(lyric));
    EXPECT_TRUE(viewable(toolbar));

    const xcb_atom_t above = atom("_NET_WM_STATE_ABOVE");
    const xcb_atom_t skipTaskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom("_NET_WM_STATE_SKIP_PAGER");
    for (const QWidget* window :
         {static_cast<const QWidget*>(&lyric), static_cast<const QWidget*>(&toolbar)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QList<uint32_t> state = property(xcb_window_t(window->winId()), "_NET_WM_STATE");
        EXPECT_TRUE(state.contains(above));
        EXPECT_TRUE(state.contains(skipTaskbar));
        EXPECT_TRUE(state.contains(skipPager));
    }
}

} // namespace
