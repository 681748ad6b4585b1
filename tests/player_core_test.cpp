// The player core on fakes: start-up and close, transport, the end of a track and the
// desktop lyric switch. What the playlist takes in and how it is stepped through is
// playlist_controller_test.cpp's.
#include "desktop_lyric/lyric_settings.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "support/player_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class CoreStartup : public ::testing::Test, public PlayerFixture {};

TEST_F(CoreStartup, SetsVolumeLaunchesAndPreparesTheFontInOrder) {
    PlayerCore& core = start();
    EXPECT_EQ(engine.calls, QStringList{"volume=100"});
    EXPECT_EQ(launcher.launches, (QStringList{"unregister SSubTmr6.dll", "unregister Diag.dll"}));
    EXPECT_EQ(core.lyricSwitch().lyricFontFace(), QStringLiteral("黑体"));
    EXPECT_EQ(core.playMode(), PlayMode::Advance);
    EXPECT_EQ(core.exit().fadeLevel(), 255);
    EXPECT_EQ(core.lyricSwitch().clickCount(), 0);
    EXPECT_EQ(core.currentPath(), QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
}

TEST_F(CoreStartup, EmptyPlaylistSelectsAndPlaysNothing) {
    PlayerCore& core = start();
    EXPECT_EQ(core.playlist().model().count(), 0);
    EXPECT_EQ(core.playlist().currentRow(), -1);
    EXPECT_FALSE(timer("Timer3")->isActive());
    // Nothing to show yet but the engine's state, and nothing wakes the player after it.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(core.status().status(), QStringLiteral("还未执行任何操作"));
    EXPECT_EQ(core.status().time(), QStringLiteral("Label5"));
    EXPECT_FALSE(core.status().Timer1->isActive());
    EXPECT_FALSE(lyricWindows.hasFrmShow());
}

TEST_F(CoreStartup, FirstEntryIsSelectedAndPlayedByTimer3) {
    writePlaylist("2\r\n/music/one.mp3\r\n/music/two.mp3\r\n");
    PlayerCore& core = start();
    ASSERT_EQ(core.playlist().model().count(), 2);
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_TRUE(timer("Timer3")->isActive());
    EXPECT_TRUE(engine.url.isEmpty());

    QSignalSpy opened(&core, &PlayerCore::mediaOpened);
    ASSERT_TRUE(opened.wait());
    EXPECT_EQ(engine.url, QStringLiteral("/music/one.mp3"));
    EXPECT_EQ(core.currentPath(), QStringLiteral("/music/one.mp3"));
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_EQ(engine.calls.filter(QStringLiteral("URL=")).size(), 1);
}

class CoreClose : public ::testing::Test, public PlayerFixture {};

TEST_F(CoreClose, WritesThePlaylistAndStartsTheFade) {
    PlayerCore& core = startWith({"/music/one.mp3"});
    core.playlist().addFile(QStringLiteral("/music/玫瑰.mp3"));
    QSignalSpy closing(&core.exit(), &ExitSequence::closing);
    core.exit().requestClose();
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")),
              "2\r\n/music/one.mp3\r\n" + QStringLiteral("/music/玫瑰.mp3").toUtf8() + "\r\n");
    EXPECT_TRUE(timer("Timer4")->isActive());
    EXPECT_EQ(closing.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CoreClose, NoPlaylistFileIsCreatedAsEmpty) {
    start().exit().requestClose();
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")), QByteArray("0\r\n\r\n"));
}

TEST_F(CoreClose, AnUnwritablePlaylistIsToldOnceAndStillFadesOut) {
    QDir(programFolder.path()).mkdir(QStringLiteral("data.dat"));
    PlayerCore& core = start();
    QSignalSpy messages(&core, &PlayerCore::message);
    EXPECT_EQ(core.playlist().model().count(), 0);
    core.exit().requestClose();
    core.exit().requestClose();
    EXPECT_TRUE(timer("Timer4")->isActive());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().at(1).toString().contains(QStringLiteral("未能保存")));
    EXPECT_TRUE(messages.first().at(1).toString().contains(QStringLiteral("data.dat")));
    for (int tick = 0; tick < 100 && processEnds == 0; ++tick)
        core.exit().timer4Tick();
    EXPECT_EQ(processEnds, 1);
}

struct FadeCase {
    int startVolume;
    int ticksToEnd;
    int finalVolume;
    int finalLevel;
};

class CoreExitFade : public ::testing::TestWithParam<FadeCase>, public PlayerFixture {};

TEST_P(CoreExitFade, EndsOnTheExpectedTickAfterShuttingTheEngineDown) {
    PlayerCore& core = start();
    core.exit().requestClose();
    engine.setVolume(GetParam().startVolume);
    QSignalSpy finishing(&core.exit(), &ExitSequence::finishing);
    for (int tick = 1; tick < GetParam().ticksToEnd; ++tick) {
        core.exit().timer4Tick();
        ASSERT_EQ(processEnds, 0) << "ended early, on tick " << tick;
    }
    EXPECT_EQ(engine.volume(), GetParam().finalVolume);
    EXPECT_EQ(core.exit().fadeLevel(), GetParam().finalLevel);
    core.exit().timer4Tick();
    EXPECT_EQ(processEnds, 1);
    EXPECT_EQ(finishing.size(), 1);
    EXPECT_EQ(engine.calls.last(), QStringLiteral("shutdown"));
    EXPECT_FALSE(timer("Timer4")->isActive());
    EXPECT_FALSE(core.status().Timer1->isActive());
}

INSTANTIATE_TEST_SUITE_P(Core, CoreExitFade,
                         ::testing::Values(FadeCase{100, 13, 40, 15}, FadeCase{50, 11, 0, 55},
                                           FadeCase{3, 2, 0, 235}));

class CoreTransport : public ::testing::Test, public PlayerFixture {};

TEST_F(CoreTransport, PlayPauseAndStopGoStraightToTheEngine) {
    PlayerCore& core = start();
    core.play();
    core.pause();
    core.stop();
    EXPECT_EQ(engine.calls, (QStringList{"volume=100", "play", "pause", "stop"}));
}

TEST_F(CoreTransport, PlayingTheSelectionLoadsItsLyricsAndNothingSelectedEmptiesThem) {
    TempFolder music;
    music.write(QStringLiteral("b.lrc"), "[00:01.00]bee\r\n");
    PlayerCore& core = startWith({"/m/a.mp3", music.file("b.mp3")});
    core.playlist().select(1);
    core.playSelectedEntry();
    EXPECT_EQ(engine.url, music.file("b.mp3"));
    EXPECT_EQ(core.currentPath(), music.file("b.mp3"));
    EXPECT_EQ(core.lyricLines().lines(), QStringList{"[00:01.00]bee"});

    core.playlist().select(-1);
    core.playSelectedEntry();
    EXPECT_EQ(engine.calls.last(), QStringLiteral("URL="));
    EXPECT_TRUE(core.currentPath().isEmpty());
    EXPECT_TRUE(core.lyricLines().lines().isEmpty());
}

TEST_F(CoreTransport, ReplayOpensTheDesignPathBeforeAnythingWasOpened) {
    PlayerCore& core = start();
    core.replay();
    EXPECT_EQ(engine.url, QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
    core.setCurrentPath(QStringLiteral("/typed/by/the/user.mp3"));
    core.replay();
    EXPECT_EQ(engine.url, QStringLiteral("/typed/by/the/user.mp3"));
}

TEST_F(CoreTransport, TimeTextsAreTheEnginesWhenItHasAMedia) {
    PlayerCore& core = start();
    EXPECT_EQ(core.durationText(), std::nullopt);
    EXPECT_EQ(core.positionText(), std::nullopt);
    engine.length = 296'000;
    engine.place(83'999);
    EXPECT_EQ(core.durationText(), QStringLiteral("04:56"));
    EXPECT_EQ(core.positionText(), QStringLiteral("01:23"));
}

class CoreEndOfMedia : public ::testing::Test, public PlayerFixture {};

TEST_F(CoreEndOfMedia, AdvancesWithTheSloganBetweenTracksButNotWhenWrapping) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    engine.finishMedia();
    EXPECT_EQ(core.playlist().currentRow(), 1);
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("Quarnet 音你而酷！"));
    EXPECT_TRUE(timer("Timer3")->isActive());
    core.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/b.mp3"));

    lyricWindows.frmShow().DrawText(QStringLiteral("last line"));
    core.playlist().select(2);
    engine.finishMedia();
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("last line"));
    EXPECT_TRUE(timer("Timer3")->isActive());
}

TEST_F(CoreEndOfMedia, RepeatModeReplaysAndReopensTheSelectedEntry) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3"});
    core.setPlayMode(PlayMode::RepeatTrack);
    engine.finishMedia();
    EXPECT_EQ(engine.calls, QStringList{"play"});
    EXPECT_EQ(core.playlist().currentRow(), 0);
    core.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/m/a.mp3"));
}

TEST_F(CoreEndOfMedia, TheEndIsIgnoredUnlessTheMediaEnded) {
    PlayerCore& core = startWith({"/m/a.mp3", "/m/b.mp3"});
    engine.state = PlayState::Playing;
    Q_EMIT engine.endOfStream(0);
    EXPECT_EQ(core.playlist().currentRow(), 0);
    EXPECT_FALSE(timer("Timer3")->isActive());
}

class CoreDesktopLyric : public ::testing::Test, public PlayerFixture {
protected:
    QByteArray settingsFile() const {
        return programFolder.read(QStringLiteral("data/system/desktoplrc.pst"));
    }
    const LyricSettings& lyric() { return lyricWindows.settings(); }
    // A track whose lyric file holds these lines, playing at position.
    void playing(const QByteArray& lyrics, qint64 position) {
        music.write(QStringLiteral("a.lrc"), lyrics);
        startWith({music.file(QStringLiteral("a.mp3"))});
        engine.state = PlayState::Playing;
        engine.length = 3000;
        engine.place(position);
    }
    TempFolder music;
};

TEST_F(CoreDesktopLyric, SwitchShowsThenHidesAndRewritesTheSettingsEveryTime) {
    PlayerCore& core = start();
    EXPECT_FALSE(lyricWindows.hasFrmShow());

    core.lyricSwitch().switchDesktopLyric();
    ASSERT_TRUE(lyricWindows.hasFrmShow());
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_TRUE(core.lyricSwitch().shown());
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("Quarnet桌面歌词"));
    EXPECT_EQ(lyric().fontName(), QStringLiteral("黑体"));
    EXPECT_EQ(lyric().fontSize(), 50.0f);
    EXPECT_EQ(lyric().colourScheme(), 3);
    EXPECT_EQ(settingsFile(), QStringLiteral("黑体\r\n 50 \r\n 3 \r\n").toUtf8());

    lyricWindows.frmSet().SetColor(5);
    core.lyricSwitch().switchDesktopLyric();
    EXPECT_FALSE(lyricWindows.frmShow().isVisible());
    EXPECT_FALSE(core.lyricSwitch().shown());
    EXPECT_EQ(lyric().colourScheme(), 3);
    EXPECT_EQ(settingsFile(), QStringLiteral("黑体\r\n 50 \r\n 3 \r\n").toUtf8());
}

TEST_F(CoreDesktopLyric, TheBuiltInFaceAlwaysShowsAndLeavesTheSwitchState) {
    PlayerCore& core = start();
    core.lyricSwitch().openDesktopLyric(QStringLiteral("华文行楷"));
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_FALSE(core.lyricSwitch().shown());
    EXPECT_EQ(lyric().fontName(), QStringLiteral("华文行楷"));
    // The switch still believes the lyric hidden, so its next click shows it.
    core.lyricSwitch().switchDesktopLyric();
    EXPECT_TRUE(lyricWindows.frmShow().isVisible());
    EXPECT_TRUE(core.lyricSwitch().shown());
}

TEST_F(CoreDesktopLyric, TheTickFeedsTheCaptionsAndTheLyricWhilePlaying) {
    playing("[00:01.00]one\r\n[00:02.00]two\r\n", 1000);
    PlaybackStatus& status = player->status();
    status.timer1Tick();
    EXPECT_EQ(status.status(), QStringLiteral("正在播放"));
    EXPECT_EQ(status.time(), QStringLiteral("00:01/00:03"));
    EXPECT_EQ(status.lyric(), QStringLiteral("one"));
    EXPECT_EQ(status.currentTag(), QStringLiteral("00:01.00"));
    EXPECT_EQ(status.nextLineTag(), QStringLiteral("00:02.00"));
    EXPECT_EQ(player->lyricLines().currentRow(), 0);
    ASSERT_TRUE(lyricWindows.hasFrmShow());
    EXPECT_FALSE(lyricWindows.frmShow().isVisible()); // fed, not shown
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("one"));

    engine.state = PlayState::Paused;
    engine.place(2000);
    status.timer1Tick();
    EXPECT_EQ(status.lyric(), QStringLiteral("two"));
    EXPECT_EQ(player->lyricLines().currentRow(), 1);
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("one"));
}

TEST_F(CoreDesktopLyric, LinesOfTheSameSecondAreNotRenderedAgainOnEveryTick) {
    playing("[00:01.00]original\r\n[00:01.00]translation\r\n", 1000);
    player->lyricSwitch().switchDesktopLyric();
    player->status().timer1Tick();
    FrmShow& overlay = lyricWindows.frmShow();
    const qint64 picture = overlay.picture().cacheKey();
    for (int tick = 0; tick < 5; ++tick) {
        player->status().timer1Tick();
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_EQ(lyricWindows.shownText(), QStringLiteral("translation"));
    EXPECT_EQ(overlay.picture().cacheKey(), picture);
}

class CoreClicks : public ::testing::Test, public PlayerFixture {};

TEST_F(CoreClicks, EveryTwentyFirstClickAsksForARestAndEachPlays) {
    PlayerCore& core = start();
    engine.calls.clear();
    QSignalSpy messages(&core, &PlayerCore::message);
    for (int click = 1; click <= 20; ++click)
        core.lyricSwitch().backgroundClicked();
    EXPECT_EQ(core.lyricSwitch().clickCount(), 20);
    EXPECT_TRUE(messages.isEmpty());

    // The message is up before the count goes back and the engine is told to play.
    QObject::connect(&core, &PlayerCore::message, [&] {
        EXPECT_EQ(core.lyricSwitch().clickCount(), 20);
        EXPECT_EQ(engine.calls.count(QStringLiteral("play")), 20);
    });
    core.lyricSwitch().backgroundClicked();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first().at(1).toString(), QStringLiteral("点累了吧？ 先歇一会儿吧！"));
    EXPECT_EQ(core.lyricSwitch().clickCount(), 0);
    EXPECT_EQ(engine.calls.count(QStringLiteral("play")), 21);
}

} // namespace
