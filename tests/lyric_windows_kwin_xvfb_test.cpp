// The desktop lyric and its toolbar under KDE's window manager on X11 (kwin_x11), which by
// default hides the utility windows of every program but the active one: another program
// takes the focus, and both windows must stay shown, on top and out of the taskbar.
#include "desktop_lyric/colour_schemes.h"
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "support/event_wait.h"
#include "support/temp_folder.h"
#include "support/window_manager.h"
#include "support/x11_client.h"

#include <QGuiApplication>
#include <QProcess>
#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

[[maybe_unused]] const bool noSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

testsupport::WindowManager* const kwin = new testsupport::WindowManager({"kwin_x11", "--replace"});
[[maybe_unused]] const int stopKWin = std::atexit([] { delete kwin; });

class LyricWindowsUnderKWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kwin->started());
        ASSERT_TRUE(x.connected());
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
    }

    bool viewable(const QWidget& window) { return x.viewable(quint32(window.winId())); }

    testsupport::X11Client x;
    TempFolder programFolder;
    QtScreenGeometry screen;
    SystemMouseTrackPlatform mouseTrack;
    FakeWorld world{programFolder.path(), {.screen = &screen, .mouseTrack = &mouseTrack}};
    LyricWindows& windows = world.lyricWindows();
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
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return x.activeTitle() == "another program"; }, 30000));
    EXPECT_TRUE(viewable(lyric));
    EXPECT_TRUE(viewable(toolbar));

    const quint32 above = x.atom("_NET_WM_STATE_ABOVE");
    const quint32 skipTaskbar = x.atom("_NET_WM_STATE_SKIP_TASKBAR");
    const quint32 skipPager = x.atom("_NET_WM_STATE_SKIP_PAGER");
    for (const QWidget* window :
         {static_cast<const QWidget*>(&lyric), static_cast<const QWidget*>(&toolbar)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QList<quint32> state = x.words(quint32(window->winId()), "_NET_WM_STATE");
        EXPECT_TRUE(state.contains(above));
        EXPECT_TRUE(state.contains(skipTaskbar));
        EXPECT_TRUE(state.contains(skipPager));
    }
}

} // namespace
