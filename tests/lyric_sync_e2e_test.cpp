// A real track through the real engine: the overlay follows the lyric file second by second.
#include "core/player_core.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "forms/frm_show.h"
#include "platform/mpv/mpv_engine.h"
#include "support/event_wait.h"
#include "support/generated_audio.h"
#include "support/temp_folder.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(LyricSyncEndToEnd, OverlayChangesLineAtTheRightSecondAndPlaybackMovesOn) {
    TempFolder music;
    const QString first = music.file(QStringLiteral("first.wav"));
    const QString second = music.file(QStringLiteral("second.wav"));
    ASSERT_TRUE(testsupport::writeToneWav(first, 2.5));
    ASSERT_TRUE(testsupport::writeToneWav(second, 1.5));
    music.write(QStringLiteral("first.lrc"),
                "[ti:test]\r\n[00:00.00]line one\r\n[00:01.00]line two\r\n");

    TempFolder program;
    program.write(QStringLiteral("data.dat"),
                  "2\r\n" + first.toUtf8() + "\r\n" + second.toUtf8() + "\r\n");
    MpvEngine engine;
    ASSERT_TRUE(engine.isAvailable());
    FakeWorld world(program.path());
    LyricWindows& windows = world.lyricWindows();
    PlayerCore core(PlayerCoreServices{engine, world.launcher, world.fonts, windows, program.path(),
                                       program.path(), [] {}});
    core.load();
    Form1 form(Form1Services{core, world.dialogs, world.launcher, windows});
    const auto* lyricStrip = form.findChild<QLabel*>(QStringLiteral("Label2"));
    // The desktop lyric on: font size 50, colour scheme 3.
    QTest::mouseClick(form.findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);

    ASSERT_TRUE(testsupport::waitUntil([&] { return windows.shownText() == u"line one"; }, 5000));
    const QImage lineOne = windows.frmShow().picture().copy();
    EXPECT_FALSE(lineOne.isNull());

    ASSERT_TRUE(testsupport::waitUntil([&] { return windows.shownText() == u"line two"; }, 5000));
    EXPECT_EQ(core.positionText().value_or(QString()), QStringLiteral("00:01"));
    EXPECT_EQ(lyricStrip->text(), QStringLiteral("line two"));
    EXPECT_NE(windows.frmShow().picture(), lineOne);

    // At the end the next entry is selected, the slogan drawn, and the next track opened.
    ASSERT_TRUE(testsupport::waitUntil([&] { return core.playlist().currentRow() == 1; }, 8000));
    EXPECT_EQ(windows.shownText(), QStringLiteral("Quarnet 音你而酷！"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return core.currentPath() == second; }));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return engine.playState() == PlayState::Playing && core.status().status() == u"正在播放" &&
               engine.position() > 500;
    }));
    engine.shutdown();
}

} // namespace
