// When the playback tick runs. Driven by what changes and by its timer, it must show at every
// moment what a tick every 10 ms would show, and wake only when the second moves on.
#include "core/player_core.h"
#include "desktop_lyric/lyric_settings.h"
#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

// An engine whose position runs on the test's clock, which moves on by a millisecond with
// every read of the position, as reads of a real one take time.
class ScriptedEngine : public FakeMediaEngine {
public:
    ScriptedEngine() { readDelay = 1; }
    mutable int stateReads = 0; // one for each tick

    void run(qint64 from, double rate = 1) { change(PlayState::Playing, from, rate); }
    void pauseNow() { change(PlayState::Paused, positionAt(now), 0); }
    void resume(double rate = 1) { change(PlayState::Playing, positionAt(now), rate); }
    void seek(qint64 to) { change(state, to, rate()); }
    void end() {
        change(PlayState::MediaEnded, positionAt(now), 0);
        Q_EMIT endOfStream(0);
    }

    PlayState playState() const override {
        ++stateReads;
        return state;
    }

private:
    void change(PlayState next, qint64 at, double rate) {
        state = next;
        length = 20'000;
        place(at, rate);
        announce();
    }
};

// A player core on its own fakes and folders, over one of the scripted engines.
struct Player {
    explicit Player(ScriptedEngine& engine)
        : core(PlayerCoreServices{engine, world.launcher, world.fonts, world.lyricWindows(),
                                  folder.path(), folder.path(), [] {}}) {}

    QStringList shown() {
        const PlaybackStatus& status = core.status();
        return {status.lyric(), status.status(),     status.nextLineTag(),
                status.time(),  status.currentTag(), world.lyricWindows().shownText()};
    }

    TempFolder folder;
    FakeWorld world{folder.path()};
    PlayerCore core;
};

class TickSchedule : public ::testing::Test {
protected:
    TickSchedule() {
        QByteArray first;
        for (int second = 0; second < 20; ++second)
            first += QStringLiteral("[00:%1.50]line %2\r\n")
                         .arg(second, 2, 10, QLatin1Char('0'))
                         .arg(second)
                         .toUtf8();
        first += "[00:03.90]same second\r\n[00:14.00]\r\n";
        lyrics.write(QStringLiteral("first.lrc"), first);
        lyrics.write(QStringLiteral("second.lrc"), "[00:09.00]reloaded nine\r\n[00:10.00]ten\r\n");
        for (Player* player : {&literal, &driven}) {
            player->core.load();
            open(*player, "first.mp3");
        }
    }
    void open(Player& player, const char* name) {
        player.core.setCurrentPath(lyrics.file(QString::fromLatin1(name)));
        player.core.replay();
    }
    void both(const std::function<void(ScriptedEngine&)>& action) {
        action(literalEngine);
        action(drivenEngine);
    }

    TempFolder lyrics;
    ScriptedEngine literalEngine;
    ScriptedEngine drivenEngine;
    Player literal{literalEngine};
    Player driven{drivenEngine};
};

// Through play, pauses (one a millisecond before a second ends), a faster and a slower speed,
// seeks (one to a millisecond before a second ends), a lyric reload, the greeting and the end.
TEST_F(TickSchedule, ShowsWhatATickEvery10MsShowsAndWakesOnlyWhenTheSecondMovesOn) {
    const std::map<qint64, std::function<void()>> script = {
        {100, [&] { both([](ScriptedEngine& e) { e.run(9); }); }},
        {3090, [&] { both([](ScriptedEngine& e) { e.pauseNow(); }); }}, // at 2.999 s
        {4000, [&] { both([](ScriptedEngine& e) { e.resume(); }); }},
        {5300, [&] { both([](ScriptedEngine& e) { e.seek(12'700); }); }},
        {6000, [&] { both([](ScriptedEngine& e) { e.seek(8'200); }); }},
        {6510, [&] { both([](ScriptedEngine& e) { e.seek(5'999); }); }},
        {7000,
         [&] {
             for (Player* player : {&literal, &driven})
                 open(*player, "second.mp3");
         }},
        {7500,
         [&] {
             for (Player* player : {&literal, &driven})
                 player->core.lyricSwitch().switchDesktopLyric();
         }},
        {8000, [&] { both([](ScriptedEngine& e) { e.resume(1.5); }); }},
        {10000, [&] { both([](ScriptedEngine& e) { e.resume(0.7); }); }},
        {12800, [&] { both([](ScriptedEngine& e) { e.end(); }); }},
    };

    // When the driven player's Timer1 fires, on the test's clock. Only a tick arms it, and
    // every tick reads the play state once.
    QTimer* timer1 = driven.core.status().Timer1;
    qint64 due = -1;
    int ticksSeen = 0;
    const auto noteArming = [&](qint64 tickedAt) {
        if (drivenEngine.stateReads == ticksSeen)
            return;
        ticksSeen = drivenEngine.stateReads;
        due = timer1->isActive() ? tickedAt + timer1->interval() : -1;
    };
    int wakes = 0;
    int wakesWhileStill = 0;
    for (qint64 now = 0; now <= 14000; now += 10) {
        literalEngine.now = drivenEngine.now = now;
        if (const auto action = script.find(now); action != script.end())
            action->second();
        drivenEngine.now = now;
        QCoreApplication::sendPostedEvents();
        noteArming(now);
        while (due >= 0 && due <= now) {
            drivenEngine.now = due;
            driven.core.status().timer1Tick();
            ++wakes;
            if (drivenEngine.state != PlayState::Playing)
                ++wakesWhileStill;
            noteArming(due);
            drivenEngine.now = now;
        }
        literalEngine.now = now;
        literal.core.status().timer1Tick();
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(driven.shown().join(u'|').toStdString(), literal.shown().join(u'|').toStdString())
            << "at " << now << " ms";
    }
    // A wake for each second that began while the position ran: 0.1-3.1 s, 4-8 s at speed 1,
    // then 8-10 s at 1.5 (seconds 6 to 9 of the media) and 10-12.8 s at 0.7 (9 to 11).
    EXPECT_LE(wakes, 3 + 5 + 4 + 3 + 2);
    EXPECT_EQ(wakesWhileStill, 0);
    EXPECT_FALSE(timer1->isActive());
}

// A player with nothing to play is never woken.
TEST_F(TickSchedule, AnIdlePlayerArmsNoTimer) {
    ScriptedEngine engine;
    Player idle(engine);
    idle.core.load();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(idle.core.status().status(), QStringLiteral("还未执行任何操作"));
    EXPECT_FALSE(idle.core.status().Timer1->isActive());
    EXPECT_FALSE(idle.core.findChild<QTimer*>("Timer3")->isActive());
}

} // namespace
