#include "support/compositor_fixture.h"

#include "support/event_wait.h"

#include <xcb/shape.h>

namespace testsupport {

const QColor CompositorFixture::TargetColour(0x20, 0x90, 0x40);

void CompositorFixture::SetUp() {
    driver = makeDriver();
    ASSERT_TRUE(driver->problem().isEmpty()) << driver->problem().toStdString();
    work_ = driver->workArea();
}

void CompositorFixture::TearDown() {
    end(player.get());
    for (auto& target : targets)
        end(target.get());
    driver.reset();
}

void CompositorFixture::lyricFloatsAboveAndLetsClicksThroughBesideItsGlyphs() {
    startPlayer();
    const QImage before = driver->screenshot();
    clickMainWindow(SwitchButton);
    ASSERT_TRUE(waitUntil([&] { return lyricShows(before); }, 20000));
    expectOffTheBars(before);

    for (const auto& [title, platform] : {std::pair("X11 target", QByteArray("xcb")),
                                          std::pair("Wayland target", QByteArray("wayland"))}) {
        SCOPED_TRACE(title);
        const bool x11Target = platform == "xcb";
        const QPoint transparent = lyricBand().topLeft() + QPoint(20, 5);
        // Over the active window that covers the same strip, shown under the pointer away from
        // the lyric, so that the click's move is a real one.
        QProcess* target = startTarget(title, platform, transparent - QPoint(0, 200));
        const std::optional<QPoint> lines = insideTheLines();
        ASSERT_TRUE(lines);
        expectOffTheBars(before);
        const std::optional<QPoint> corner = targetCorner(title, x11Target);

        driver->pointOverTarget(*target, transparent, x11Target);
        click(transparent, x11Target);
        const QPoint first = nextPress(target);
        driver->clickedThrough(*target, title, x11Target);
        if (corner) {
            EXPECT_EQ(first, transparent - *corner);
        }
        // A click inside the lines is the lyric's: the next press the target hears is the one
        // beside them.
        click(*lines, !driver->showsPixels());
        const QPoint beside = transparent + QPoint(7, 0);
        driver->pointOverTarget(*target, beside, x11Target);
        click(beside, x11Target);
        const QPoint second = nextPress(target);
        if (corner) {
            EXPECT_EQ(second, beside - *corner);
        } else {
            // Where a window's place is not told, its first press may say where the pointer
            // entered it rather than where it pressed, a few pixels off; the lines lie
            // hundreds of pixels away.
            EXPECT_LT((second - first).manhattanLength(),
                      (*lines - transparent).manhattanLength() / 4);
        }
        end(target);
    }
}

void CompositorFixture::toolbarHidesWhenThePointerLeaves() {
    startPlayer();
    clickMainWindow(ToolbarButton);
    // An X11 toolbar is seen at once; on pixels, once a window of one colour lies behind it.
    if (!driver->showsPixels()) {
        ASSERT_TRUE(waitUntil([&] { return toolbarShown().has_value(); }, 20000));
    }
    startTarget("backdrop", "xcb", QPoint(20, 20));
    std::optional<QRect> bar;
    ASSERT_TRUE(waitUntil(
        [&] {
            bar = toolbarShown();
            return bar.has_value();
        },
        20000));
    // Over the bar's bare surface, which arms the leave tracking, then away.
    const bool onX11 = !driver->showsPixels();
    driver->moveTo(bar->topLeft() + QPoint(190, 15), onX11);
    driver->moveTo(bar->topLeft() + QPoint(192, 15), onX11);
    driver->moveTo(bar->topLeft() + QPoint(190, -200), onX11);
    EXPECT_TRUE(waitUntil([&] { return toolbarGone(); }, 20000));
}

void CompositorFixture::switchTurnsTheLyricOffAndTheProgramEndsCleanly() {
    startPlayer();
    const QImage before = driver->screenshot();
    clickMainWindow(SwitchButton);
    ASSERT_TRUE(waitUntil([&] { return lyricShows(before); }, 20000));
    // Far enough from the first click that the two make no double-click.
    clickMainWindow(SwitchButton + QPoint(8, 8));
    EXPECT_TRUE(waitUntil([&] { return lyricGone(before); }, 20000));
    closeAndExpectACleanEnd();
}

void CompositorFixture::startPlayer(bool withX11) {
    QProcessEnvironment forPlayer = driver->environment();
    if (!withX11)
        forPlayer.remove("DISPLAY");
    if (scale != 1)
        forPlayer.insert("QT_SCALE_FACTOR", QString::number(scale));
    const QImage empty = driver->screenshot();
    player = launch(programs_.player, {}, forPlayer, home.path());
    player->setReadChannel(QProcess::StandardError);
    mainOnX11 = withX11;
    // Where the window is, once the compositor shows its buttons there (clicks count once the
    // window has drawn them): a compositor may map it first and place it after.
    const QPoint switchButton = SwitchButton * scale;
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::optional<QPoint> corner = driver->windowCorner("Vellora V", withX11);
            if (!corner)
                return false;
            mainWindow = *corner;
            if (driver->showsPixels() && driver->screenshot().pixel(mainWindow + switchButton) ==
                                             empty.pixel(mainWindow + switchButton))
                return false;
            return driver->windowCorner("Vellora V", withX11) == corner;
        },
        30000));
}

void CompositorFixture::click(QPoint at, bool overX11) {
    driver->moveTo(at, overX11);
    driver->press();
    driver->release();
}

QRect CompositorFixture::lyricBand() const {
    return QRect(work_.left(), work_.bottom() + 1 - LyricHeight, work_.width(), LyricHeight);
}

QRect CompositorFixture::toolbarBand() const {
    return QRect(work_.left() + (work_.width() - ToolbarWidth) / 2,
                 lyricBand().top() - ToolbarHeight, ToolbarWidth, ToolbarHeight);
}

bool CompositorFixture::lyricShows(const QImage& before) {
    if (!driver->showsPixels())
        return lyricWindow().has_value();
    return changedPixels(before, driver->screenshot(), lyricBand()) > 500;
}

bool CompositorFixture::lyricGone(const QImage& before) {
    if (!driver->showsPixels())
        return !lyricWindow().has_value();
    return changedPixels(before, driver->screenshot(), lyricBand()) == 0;
}

QProcess* CompositorFixture::startTarget(const QString& title, const QByteArray& platform,
                                         QPoint under) {
    QProcessEnvironment forTarget = driver->environment();
    forTarget.insert("QT_QPA_PLATFORM", platform);
    targets.push_back(launch(programs_.clickTarget, {title, TargetColour.name()}, forTarget));
    QProcess* target = targets.back().get();
    driver->targetStarted(*target, title, platform == "xcb", under);
    if (driver->showsPixels()) {
        // Tiled or maximized, it fills the work area: the lyric's strip shows it wherever the
        // lyric is transparent.
        EXPECT_TRUE(waitUntil(
            [&] {
                return QColor(driver->screenshot().pixel(lyricBand().topLeft() + QPoint(20, 5))) ==
                       TargetColour;
            },
            20000));
    }
    return target;
}

QList<QPoint> CompositorFixture::glyphsOverTarget() {
    QList<QPoint> glyphs;
    EXPECT_TRUE(waitUntil(
        [&] {
            glyphs = pixelsOtherThan(driver->screenshot(), lyricBand(), TargetColour);
            return glyphs.size() > 500;
        },
        20000));
    return glyphs.size() > 500 ? glyphs : QList<QPoint>();
}

QPoint CompositorFixture::nextPress(QProcess* target) {
    const QList<QByteArray> words = nextLine(target, "press").split(' ');
    EXPECT_EQ(words.size(), 3);
    return words.size() == 3 ? QPoint(words[1].toInt(), words[2].toInt()) : QPoint(-1, -1);
}

QByteArray CompositorFixture::closeAndExpectACleanEnd() {
    driver->close("Vellora V");
    if (!player->waitForFinished(20000)) {
        ADD_FAILURE() << "the program did not end";
        return {};
    }
    const QByteArray said = player->readAllStandardError();
    EXPECT_EQ(player->exitStatus(), QProcess::NormalExit) << said.constData();
    EXPECT_EQ(player->exitCode(), 0) << said.constData();
    return said;
}

std::optional<X11Client::Window> CompositorFixture::lyricWindow() {
    for (const X11Client::Window& window : driver->x11().windows("Form1"))
        if (window.geometry.height() == LyricHeight)
            return window;
    return std::nullopt;
}

std::optional<QRect> CompositorFixture::toolbarShown() {
    if (!driver->showsPixels()) {
        for (const X11Client::Window& window : driver->x11().windows("Form1"))
            if (window.geometry.size() == QSize(ToolbarWidth, ToolbarHeight))
                return window.geometry;
        return std::nullopt;
    }
    if (pixelsOtherThan(driver->screenshot(), toolbarBand(), TargetColour).size() > 5000)
        return toolbarBand();
    return std::nullopt;
}

bool CompositorFixture::toolbarGone() {
    if (!driver->showsPixels())
        return !toolbarShown().has_value();
    return pixelsOtherThan(driver->screenshot(), toolbarBand(), TargetColour).isEmpty();
}

std::optional<QPoint> CompositorFixture::targetCorner(const QString& title, bool x11) {
    if (const std::optional<QPoint> told = driver->windowCorner(title, x11))
        return told;
    if (!driver->showsPixels())
        return std::nullopt;
    // A window's place the compositor keeps to itself its first pixel shows.
    const QImage shot = driver->screenshot();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (QColor(shot.pixel(x, y)) == TargetColour)
                return QPoint(x, y);
    ADD_FAILURE() << "no pixel of " << title.toStdString() << " shows";
    return std::nullopt;
}

std::optional<QPoint> CompositorFixture::insideTheLines() {
    if (driver->showsPixels()) {
        const QList<QPoint> glyphs = glyphsOverTarget();
        if (glyphs.isEmpty())
            return std::nullopt;
        return glyphs[glyphs.size() / 2];
    }
    // The middle of the widest box of the lyric window's input shape (the lines' boxes).
    const std::optional<X11Client::Window> lyric = lyricWindow();
    if (!lyric)
        return std::nullopt;
    QRect widest;
    for (const QRect& box : driver->x11().shape(lyric->id, XCB_SHAPE_SK_INPUT))
        if (box.width() > widest.width())
            widest = box;
    return lyric->geometry.topLeft() + widest.center();
}

void CompositorFixture::expectOffTheBars(const QImage& before) {
    if (!driver->showsPixels()) {
        // Where the compositor put it, as the X server has it.
        const std::optional<X11Client::Window> lyric = lyricWindow();
        EXPECT_TRUE(lyric && lyric->geometry == lyricBand());
        return;
    }
    const QRect bars(work_.left(), work_.bottom() + 1, work_.width(),
                     before.height() - work_.bottom() - 1);
    EXPECT_EQ(changedPixels(before, driver->screenshot(), bars), 0);
}

} // namespace testsupport
