#pragma once

#include "support/compositor_driver.h"
#include "support/desktop_session.h"
#include "support/temp_folder.h"

#include <QColor>
#include <QList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace testsupport {

// The installed-like program under a compositor, driven from outside as a user meets it,
// and the scenarios every compositor must pass. A test file derives a fixture that makes its
// compositor's driver.
class CompositorFixture : public ::testing::Test {
protected:
    struct Programs {
        QString player;      // the program under test
        QString clickTarget; // tests/click_target
    };
    explicit CompositorFixture(Programs programs) : programs_(std::move(programs)) {}
    virtual std::unique_ptr<CompositorDriver> makeDriver() = 0;

    void SetUp() override;
    void TearDown() override;

    // The lyric floats above the active window that covers its strip at the bottom of the work
    // area, off the bars, and a click beside its glyphs reaches that window; a click on them
    // does not. For an X11 window and a Wayland window.
    void lyricFloatsAboveAndLetsClicksThroughBesideItsGlyphs();
    // Opened from the main window, the toolbar stays while another window is active, and goes
    // once the pointer has crossed its bare surface and left.
    void toolbarHidesWhenThePointerLeaves();
    // The main window's switch turns the lyric off again, and the program closed as the
    // desktop closes it ends cleanly.
    void switchTurnsTheLyricOffAndTheProgramEndsCleanly();

    // Starts the program and waits for its main window, drawn where the compositor put it.
    void startPlayer(bool withX11 = true);
    void click(QPoint at, bool overX11);
    void clickMainWindow(QPoint offset) { click(mainWindow + offset * scale, mainOnX11); }
    // The strip the lyric window takes at the bottom of the work area, and the toolbar's above.
    QRect lyricBand() const;
    QRect toolbarBand() const;
    // Whether the lyric shows in its strip, against what the compositor showed before it.
    bool lyricShows(const QImage& before);
    bool lyricGone(const QImage& before);
    // A window of one colour over the lyric's strip, on X11 (Xwayland) or Wayland, shown under
    // the pointer at under where the compositor needs one there.
    QProcess* startTarget(const QString& title, const QByteArray& platform, QPoint under = {});
    // The lyric's glyphs over a target window, once they show; none if they never do.
    QList<QPoint> glyphsOverTarget();
    // Where a target says it was pressed next, once it says so.
    static QPoint nextPress(QProcess* target);
    // Closes the main window as the desktop would, and checks that the program ended cleanly;
    // what it said on its way.
    QByteArray closeAndExpectACleanEnd();

    static const QColor TargetColour;

    Programs programs_;
    TempFolder home;
    TempFolder runtime;
    std::unique_ptr<CompositorDriver> driver;
    std::unique_ptr<QProcess> player;
    std::vector<std::unique_ptr<QProcess>> targets;
    QPoint mainWindow;
    bool mainOnX11 = true;
    double scale = 1; // the player's QT_SCALE_FACTOR

private:
    // The lyric window and the toolbar as X11 windows: both titled as Qt titles them, told
    // apart by size.
    std::optional<X11Client::Window> lyricWindow();
    std::optional<QRect> toolbarShown();
    bool toolbarGone();
    // Where the X server or the compositor's pixels show a target's content starts.
    std::optional<QPoint> targetCorner(const QString& title, bool x11);
    // A point inside the lyric's lines, over the target.
    std::optional<QPoint> insideTheLines();
    // The lyric rests on the bars: nothing under the work area changed.
    void expectOffTheBars(const QImage& before);

    QRect work_;
};

} // namespace testsupport
