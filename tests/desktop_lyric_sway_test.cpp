// The installed-like program under a headless sway (wlroots) with Xwayland, as a user meets
// it: the desktop lyric and its toolbar are layer surfaces above the bar's exclusive zone;
// clicks from the compositor's own pointer pass through the lyric's transparent pixels to
// X11 and Wayland windows beneath, and not through its glyphs; screenshots come from grim.
// The test script starts the compositor and names it in VELLORA_SWAY_WAYLAND_DISPLAY,
// VELLORA_SWAY_DISPLAY and VELLORA_SWAYSOCK; a second sway inside it, with outputs that can
// come and go, in VELLORA_NESTED_SWAY_*.
#include "platform/presenters/layer_buffer_scale.h"
#include "support/compositor_fixture.h"
#include "support/event_wait.h"
#include "support/sway_driver.h"

#include <gtest/gtest.h>

namespace {

using testsupport::changedPixels;
using testsupport::LyricHeight;
using testsupport::pixelsOtherThan;
using testsupport::RememberedSettings;
using testsupport::SwayDriver;
using testsupport::SwitchButton;

constexpr int ScreenWidth = 1920;

class DesktopLyricOnSway : public testsupport::CompositorFixture {
protected:
    DesktopLyricOnSway() : CompositorFixture({VELLORA_PROGRAM, CLICK_TARGET}) {}

    std::unique_ptr<testsupport::CompositorDriver> makeDriver() override {
        auto made = std::make_unique<SwayDriver>(prefix, QSize(1920, 1080), WAYLAND_POINTER,
                                                 runtime.path(), home.path());
        sway = made.get();
        return made;
    }

    const char* prefix = "VELLORA_SWAY";
    SwayDriver* sway = nullptr;
};

TEST_F(DesktopLyricOnSway, TheLyricFloatsAboveOtherWindowsAndLetsClicksThroughBesideItsGlyphs) {
    lyricFloatsAboveAndLetsClicksThroughBesideItsGlyphs();
}

TEST_F(DesktopLyricOnSway, TheToolbarOpensFromTheMainWindowAndHidesWhenThePointerLeaves) {
    toolbarHidesWhenThePointerLeaves();
}

TEST_F(DesktopLyricOnSway, TheSwitchTurnsTheLyricOffAndTheProgramEndsCleanly) {
    switchTurnsTheLyricOffAndTheProgramEndsCleanly();
}

// Without any X display the program runs on Qt's Wayland platform, says once what needs
// X11, and shows the lyric as a layer surface all the same; its exit fade asks for no
// window opacity.
TEST_F(DesktopLyricOnSway, WithOnlyAWaylandDisplayTheProgramRunsAndSaysOnceWhatNeedsX11) {
    startPlayer(false);
    const QImage before = sway->screenshot();
    clickMainWindow(SwitchButton);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricShows(before); }, 20000));
    const QByteArray said = closeAndExpectACleanEnd();
    EXPECT_EQ(said.count("without X11"), 1) << said.constData();
    EXPECT_FALSE(said.contains("opacity")) << said.constData();
}

// Wayland takes integer buffer scales only, and a scale that does not divide the buffer's
// size is a protocol error.
TEST(LayerBufferScale, IntegerScalesOnlyAndTheViewporterForTheRest) {
    const struct {
        QSize pixels;
        double ratio;
        bool viewporter;
        LayerBufferScale fit;
    } rows[] = {
        {{1920, 111}, 1.0, true, {1, false, 1.0}}, {{3840, 222}, 2.0, true, {2, false, 2.0}},
        {{1502, 113}, 1.5, true, {1, true, 1.5}},  {{1502, 113}, 1.5, false, {1, false, 1.0}},
        {{3841, 222}, 2.0, true, {1, true, 2.0}},  {{100, 100}, 0.0, false, {1, false, 1.0}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(layerBufferScale(row.pixels, row.ratio, row.viewporter), row.fit)
            << row.pixels.width() << " at " << row.ratio;
}

// At 1.5 the picture fills the lyric's surface, its text centred on it, rather than three
// quarters of it at a buffer scale of 2.
TEST_F(DesktopLyricOnSway, AtAScaleOfOneAndAHalfTheLyricFillsItsSurface) {
    scale = 1.5;
    startPlayer();
    const QImage before = sway->screenshot();
    clickMainWindow(SwitchButton);
    const QRect band = lyricBand();
    QImage shown;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            shown = sway->screenshot();
            return changedPixels(before, shown, band) > 500;
        },
        20000));
    QRect glyphs;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (shown.pixel(x, y) != before.pixel(x, y))
                glyphs |= QRect(x, y, 1, 1);
    // The lyric fits its output, whose width the compositor gives the surface.
    EXPECT_NEAR(glyphs.center().x(), ScreenWidth / 2, 20) << glyphs.left() << "-" << glyphs.right();
}

// Locked, the lyric lets every click through, on its glyphs too.
TEST_F(DesktopLyricOnSway, LockedTheLyricLetsClicksOnItsGlyphsThrough) {
    const RememberedSettings locked(VELLORA_PROGRAM, "lock_desktop_lyric=yes\n");
    startPlayer();
    clickMainWindow(SwitchButton);
    QProcess* target = startTarget("Wayland target", "wayland");
    const QList<QPoint> glyphs = glyphsOverTarget();
    ASSERT_FALSE(glyphs.isEmpty());
    const QPoint glyph = glyphs[glyphs.size() / 2];
    const QPoint corner = sway->windowCorner("Wayland target", false).value_or(QPoint());
    click(glyph, false);
    EXPECT_EQ(nextPress(target), glyph - corner);
}

// Two outputs side by side in a sway of their own, each with its bar, each a window of an
// outer sway; the player's main window floats on the first.
class DesktopLyricOnTwoSwayOutputs : public DesktopLyricOnSway {
protected:
    DesktopLyricOnTwoSwayOutputs() { prefix = "VELLORA_NESTED_SWAY"; }

    // The number the next output plugged in gets: one past the highest there is, which each
    // test leaves plugged in.
    int nextOutputNumber() {
        int highest = 0;
        for (const SwayDriver::Output& output : sway->outputs())
            highest = std::max(highest, output.name.mid(3).toInt());
        return highest + 1;
    }
    bool hasOutput(const QString& name) {
        for (const SwayDriver::Output& output : sway->outputs())
            if (output.name == name)
                return true;
        return false;
    }
    // Unplugs an output: its window in the outer sway closes.
    void unplug(const QString& name) {
        sway->outerSwaymsg({QString("[title=\"wlroots - %1$\"] kill").arg(name)});
        ASSERT_TRUE(testsupport::waitUntil([&] { return !hasOutput(name); }, 20000));
    }
    void plug(const QString& name) {
        sway->swaymsg({"create_output"});
        ASSERT_TRUE(testsupport::waitUntil([&] { return hasOutput(name); }, 20000))
            << name.toStdString();
    }
    // Whether the lyric shows on the output, above its bar, and on no other.
    bool lyricOnlyOn(const QString& name) {
        const QImage shot = sway->screenshot();
        for (const SwayDriver::Output& output : sway->outputs()) {
            const QRect band(output.rect.left(),
                             output.rect.bottom() - SwayDriver::BarHeight - LyricHeight,
                             output.rect.width(), LyricHeight);
            const bool shows = pixelsOtherThan(shot, band, Qt::black).size() > 200;
            if (shows != (output.name == name))
                return false;
        }
        return true;
    }
};

// The lyric waits on the first output for the one it remembers, goes there when it is plugged
// in, and comes back when it is unplugged; the user clicks nothing.
TEST_F(DesktopLyricOnTwoSwayOutputs, TheLyricFollowsTheOutputItRemembersAsItComesAndGoes) {
    ASSERT_GE(sway->outputs().size(), 2);
    const QString first = sway->outputs().first().name;
    const QString second = sway->outputs().last().name;
    const int number = nextOutputNumber();
    const QString remembered = QString("WL-%1").arg(number);
    const RememberedSettings settings(VELLORA_PROGRAM,
                                      "desktop_lyric_screen=" + remembered.toUtf8() + "\n");
    startPlayer();
    clickMainWindow(SwitchButton);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(first); }, 20000));

    unplug(second);
    plug(remembered);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(remembered); }, 20000));
    unplug(remembered);
    EXPECT_TRUE(testsupport::waitUntil([&] { return lyricOnlyOn(first); }, 20000));
    // Two outputs again for whatever runs next.
    plug(QString("WL-%1").arg(number + 1));
}

} // namespace
