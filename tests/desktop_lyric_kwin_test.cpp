// The installed-like program under KDE's KWin in its Wayland session (virtual backend) with
// Xwayland, as a user meets it: the desktop lyric and its toolbar are layer surfaces above a
// panel's exclusive zone; clicks from the compositor's own pointer (KWin's fake input) pass
// through the lyric's transparent pixels to X11 and Wayland windows beneath, and not
// through its glyphs. Screenshots come from KWin's screenshot interface, so they show what
// the compositor shows. The test script starts the compositor and names it in
// VELLORA_KWIN_WAYLAND_DISPLAY, VELLORA_KWIN_DISPLAY and VELLORA_KWIN_BUS.
#include "support/compositor_fixture.h"
#include "support/event_wait.h"
#include "support/kwin_driver.h"

#include <gtest/gtest.h>

namespace {

using testsupport::changedPixels;
using testsupport::KWinDriver;
using testsupport::LyricHeight;
using testsupport::RememberedSettings;
using testsupport::SwitchButton;

class DesktopLyricOnKWin : public testsupport::CompositorFixture {
protected:
    DesktopLyricOnKWin() : CompositorFixture({VELLORA_PROGRAM, CLICK_TARGET}) {}

    std::unique_ptr<testsupport::CompositorDriver> makeDriver() override {
        auto made = std::make_unique<KWinDriver>(WAYLAND_POINTER, WAYLAND_PANEL, runtime.path(),
                                                 home.path());
        kwin = made.get();
        return made;
    }

    KWinDriver* kwin = nullptr;
};

TEST_F(DesktopLyricOnKWin, TheLyricFloatsAbovePanelAndWindowsAndLetsClicksThroughBesideItsGlyphs) {
    lyricFloatsAboveAndLetsClicksThroughBesideItsGlyphs();
}

TEST_F(DesktopLyricOnKWin, TheToolbarOpensFromTheMainWindowAndHidesWhenThePointerLeaves) {
    toolbarHidesWhenThePointerLeaves();
}

TEST_F(DesktopLyricOnKWin, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanlyWhenClosed) {
    switchTurnsTheLyricOffAndTheProgramEndsCleanly();
}

// KWin's second output, turned off and on as its display settings do: the lyric is there
// from the start when remembered, moves to the first output when it goes off and comes back
// when it is on again; the user clicks nothing.
TEST_F(DesktopLyricOnKWin, TheLyricFollowsTheOutputItRemembersThroughOffAndOn) {
    const RememberedSettings settings(VELLORA_PROGRAM, "desktop_lyric_screen=Virtual-1\n");
    const auto setOutput = [&](const char* state) {
        QProcess doctor;
        QProcessEnvironment forDoctor = kwin->environment();
        forDoctor.insert("QT_QPA_PLATFORM", "wayland");
        doctor.setProcessEnvironment(forDoctor);
        doctor.start("kscreen-doctor", {QString("output.Virtual-1.%1").arg(state)});
        ASSERT_TRUE(doctor.waitForFinished(60000));
    };
    const int width = KWinDriver::ScreenWidth;
    const QRect secondBand(0, KWinDriver::ScreenHeight - LyricHeight, width, LyricHeight);
    const QImage first = kwin->screenshot();
    const QImage second = kwin->screenshotAt(width);
    // Off, the second output has nothing to show, nor any screenshot.
    const auto lyricOnSecond = [&](bool there) {
        return testsupport::waitUntil(
            [&] {
                return (!there ||
                        changedPixels(second, kwin->screenshotAt(width), secondBand) > 500) &&
                       (changedPixels(first, kwin->screenshot(), lyricBand()) > 500) == !there;
            },
            20000);
    };
    startPlayer();
    clickMainWindow(SwitchButton);
    EXPECT_TRUE(lyricOnSecond(true));
    setOutput("disable");
    EXPECT_TRUE(lyricOnSecond(false));
    setOutput("enable");
    EXPECT_TRUE(lyricOnSecond(true));
}

} // namespace
