// The installed-like program under GNOME's mutter as a headless Wayland display server with
// Xwayland. mutter offers no layer shell, so the desktop lyric and its toolbar stay X11
// windows there, which mutter places, keeps above and lets clicks through by their input
// shape. The pointer is mutter's own, so clicks go through the compositor to X11 and Wayland
// windows alike; where a check needs a place or a state, it asks the X server and the window
// manager, and what a click reaches shows the stacking that the compositor does. The test
// script starts the compositor and names it in VELLORA_MUTTER_WAYLAND_DISPLAY,
// VELLORA_MUTTER_DISPLAY, VELLORA_MUTTER_XAUTHORITY and VELLORA_MUTTER_BUS.
#include "support/compositor_fixture.h"
#include "support/mutter_driver.h"

#include <gtest/gtest.h>

namespace {

class DesktopLyricOnMutter : public testsupport::CompositorFixture {
protected:
    DesktopLyricOnMutter() : CompositorFixture({VELLORA_PROGRAM, CLICK_TARGET}) {}

    std::unique_ptr<testsupport::CompositorDriver> makeDriver() override {
        return std::make_unique<testsupport::MutterDriver>(runtime.path(), home.path());
    }
};

TEST_F(DesktopLyricOnMutter,
       TheLyricSitsAtTheWorkAreasBottomAboveTheActiveWindowAndLetsClicksThrough) {
    lyricFloatsAboveAndLetsClicksThroughBesideItsGlyphs();
}

TEST_F(DesktopLyricOnMutter, TheToolbarOpensFromTheMainWindowStaysWhileAnotherIsActiveAndHides) {
    toolbarHidesWhenThePointerLeaves();
}

TEST_F(DesktopLyricOnMutter, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanlyWhenClosed) {
    switchTurnsTheLyricOffAndTheProgramEndsCleanly();
}

} // namespace
