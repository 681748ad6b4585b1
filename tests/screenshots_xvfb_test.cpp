// The three windows on a real X server, photographed: the pictures land in screenshots/
// beside the test, and fixed probe points catch a layout that went wrong.
#include "core/player_core.h"
#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "forms/click_area.h"
#include "forms/form1.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_search_window.h"
#include "support/event_wait.h"
#include "support/fake_lrclib_server.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QColor Backdrop(0x2e, 0x7d, 0x32);

QImage skinPicture(const char* name) {
    return QImage(QStringLiteral(":/skin/") + QString::fromLatin1(name) + QStringLiteral(".bmp"))
        .convertToFormat(QImage::Format_RGB32);
}

// The X server handles one client's requests in order, so once every shown window has been
// painted and flushed, a grab on the same connection sees the pictures.
QImage photograph(const QRect& onScreen, const QString& name) {
    QCoreApplication::sendPostedEvents();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->repaint();
    }
    const QImage shot =
        QGuiApplication::primaryScreen()
            ->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    QDir().mkpath(QStringLiteral("screenshots"));
    shot.save(QStringLiteral("screenshots/") + name + QStringLiteral(".png"));
    return shot;
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

bool exposed(QWidget& window) {
    return window.windowHandle() && window.windowHandle()->isExposed();
}

TEST(Screenshots, MainWindowDesktopLyricAndToolbarLookAsDesigned) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // A plain backdrop under everything: see-through pixels show its colour.
    QWidget backdrop;
    backdrop.setAutoFillBackground(true);
    backdrop.setPalette(QPalette(Backdrop));
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return exposed(backdrop); }));

    TempFolder program;
    FakeMediaEngine engine;
    FakeWorld world(program.path());
    PlayerCore core(PlayerCoreServices{engine, world.launcher, world.fonts, world.lyricWindows(),
                                       program.path(), program.path(), [] {}});
    core.load();
    core.playlist().addFile(QStringLiteral("/music/Zelvorin - 玫瑰花的葬礼.mp3"));
    core.playlist().addFile(QStringLiteral("/music/Aster Vale - Night Ferry.mp3"));
    // A line on the lyric strip, paused so that the desktop lyric keeps its greeting.
    program.write(QStringLiteral("song.lrc"),
                  QStringLiteral("[00:00.00]那些为爱所付出的代价").toUtf8());
    core.setCurrentPath(program.file(QStringLiteral("song.mp3")));
    core.replay();
    engine.state = PlayState::Paused;
    engine.place(0);
    core.status().timer1Tick();
    Form1 form(Form1Services{core, world.dialogs, world.launcher, world.lyricWindows()});
    form.move(80, 80);
    form.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return exposed(form); }));
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Image2")), Qt::LeftButton);
    FrmShow& lyric = world.lyricWindows().frmShow();
    FrmSet& toolbar = world.lyricWindows().frmSet();
    ASSERT_TRUE(testsupport::waitUntil([&] { return exposed(lyric) && exposed(toolbar); }));

    const QImage main = photograph(QRect(form.mapToGlobal(QPoint(0, 0)), form.size()),
                                   QStringLiteral("main-window"));
    const QImage lyricShot = photograph(lyric.geometry(), QStringLiteral("desktop-lyric"));
    const QImage toolbarShot = photograph(toolbar.geometry(), QStringLiteral("toolbar"));

    // Button faces of both strips, and the calm part of the lyric strip, as drawn.
    const QImage transport = skinPicture("Picture4");
    const QImage tools = skinPicture("Picture2");
    const QImage lyricStrip = skinPicture("Picture3");
    for (int x : {24, 56, 92, 132, 180, 232, 292}) {
        EXPECT_EQ(at(main, x, 96 + 11), at(transport, x, 11)) << "transport face at " << x;
        EXPECT_EQ(at(tools, x, 11), at(main, x, 128 + 11)) << "tool face at " << x;
    }
    EXPECT_EQ(at(main, 8, 260 + 44), at(lyricStrip, 8, 44));
    EXPECT_EQ(at(main, 5, 200), QColor(Qt::black)); // the playlist's background

    // The overlay shows only its glyphs: the backdrop everywhere else.
    EXPECT_EQ(at(lyricShot, 5, 5), Backdrop);
    EXPECT_EQ(at(lyricShot, lyricShot.width() - 5, lyricShot.height() - 5), Backdrop);
    int glyphPixels = 0;
    for (int x = 0; x < lyricShot.width(); x += 2)
        glyphPixels += at(lyricShot, x, 30) != Backdrop;
    EXPECT_GT(glyphPixels, 20);

    // The toolbar's rounded corners and its margins are see-through; the bar is not.
    const QImage bar = skinPicture("Pic");
    EXPECT_EQ(at(toolbarShot, 0, 0), Backdrop);
    EXPECT_EQ(at(toolbarShot, 400, 10), Backdrop);
    EXPECT_EQ(at(toolbarShot, 200, 33), Backdrop);
    EXPECT_EQ(at(toolbarShot, 150, 15), at(bar, 150, 15));
}

// The lyrics search window with a search's results and the closest timed one previewed.
TEST(Screenshots, TheLyricsSearchWindowWithItsResults) {
    using S = FakeLrclibServer;
    FakeLrclibServer server;
    server.answer(
        "/api/search",
        S::json("[" + S::record(1, "Night Ferry", 241, "[00:12.40]Lanterns on the water") + "," +
                S::record(2, "Night Ferry (Live)", 266, "[00:03.10]Good evening") + "," +
                S::record(3, "Night Ferry", 240, {}, "Lanterns on the water") + "]"));
    TempFolder program;
    FakeMediaEngine engine;
    FakeWorld world(program.path());
    LyricSourceServices sources;
    sources.userLyricsFolder = program.file(QStringLiteral("lyrics"));
    sources.lrclib.baseUrl = server.baseUrl();
    sources.lrclibLookups = S::clients();
    PlayerCore core(PlayerCoreServices{engine, world.launcher, world.fonts, world.lyricWindows(),
                                       program.path(), program.path(), [] {}, sources});
    LyricSearchWindow window(core.openedTrack(), world.dialogs);
    window.move(80, 80);
    window.openFor(program.file(QStringLiteral("Aster Vale - Night Ferry.mp3")));
    QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    auto* results = window.findChild<QTreeWidget*>();
    ASSERT_TRUE(testsupport::waitUntil([&] { return results->topLevelItemCount() == 3; }));
    ASSERT_TRUE(testsupport::waitUntil([&] { return exposed(window); }));
    EXPECT_EQ(results->currentItem()->text(4), QStringLiteral("同步"));
    photograph(window.frameGeometry(), QStringLiteral("lyrics-search"));
}

} // namespace
