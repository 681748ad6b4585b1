#include "fakes/fake_media_engine.h"
#include "fakes/fake_world.h"
#include "forms/click_area.h"
#include "forms/form1.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// An engine whose position runs on the test's clock instead of the wall's.
class ScriptedEngine : public FakeMediaEngine {
public:
    qint64 now = 0;             // ms
    mutable int stateReads = 0; // one for each tick

    void run(double from) { setClock(PlayState::Playing, from, 1); }
    void pauseAt() { setClock(PlayState::Paused, positionNow(), 0); }
    void resume() { setClock(PlayState::Playing, positionNow(), 1); }
    void seek(double to) { setClock(state, to, rate_); }
    void end() {
        setClock(PlayState::MediaEnded, positionNow(), 0);
        Q_EMIT endOfStream(0);
    }

    int playState() const override {
        ++stateReads;
        return state;
    }
    std::optional<MediaClock> clock() const override {
        if (!started_)
            return std::nullopt;
        return MediaClock{positionNow(), rate_};
    }
    std::optional<QString> currentPositionString() const override {
        if (!started_)
            return std::nullopt;
        return formatMediaTime(std::floor(positionNow()));
    }
    std::optional<QString> durationString() const override {
        return started_ ? std::optional(QStringLiteral("00:20")) : std::nullopt;
    }

private:
    double positionNow() const { return anchor_ + double(now - anchorMs_) / 1000 * rate_; }
    void setClock(int newState, double at, double rate) {
        started_ = true;
        state = newState;
        anchor_ = at;
        anchorMs_ = now;
        rate_ = rate;
        Q_EMIT changed();
    }

    bool started_ = false;
    double anchor_ = 0;
    qint64 anchorMs_ = 0;
    double rate_ = 0;
};

// A main window on its own fakes and folders, sharing the scripted engine.
struct Window {
    explicit Window(ScriptedEngine& engine)
        : form(Form1Services{engine, world.launcher, world.fonts, world.dialogs, world.lyricWindows,
                             folder.path(), folder.path(), [] {}}) {}

    TempFolder folder;
    FakeWorld world{folder.path()};
    Form1 form;

    QStringList shown() {
        return {form.Label2->text(), form.Label3->text(),
                form.Label4->text(), form.Label5->text(),
                form.Label6->text(), world.lyricWindows.settings().currentText};
    }
};

// The same script played to two engines, one for each window.
struct Engines {
    ScriptedEngine literal;
    ScriptedEngine driven;
    void at(qint64 now) { literal.now = driven.now = now; }
    template <typename Action> void both(Action action) {
        action(literal);
        action(driven);
    }
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
    }
    QString media(const char* name) const { return lyrics.file(QString::fromLatin1(name)); }

    TempFolder lyrics;
    Engines engines;
};

// Driven by what changes, the tick shows at every moment what a tick every 10 ms would have
// shown, through play, pause, seek, a lyric reload, the greeting and the end; and it wakes
// about once a second while playing, never while paused or ended.
TEST_F(TickSchedule, ShowsWhatATickEvery10MsShowsAndWakesOnlyWhenTheSecondMovesOn) {
    Window literal(engines.literal);
    Window driven(engines.driven);
    for (Window* window : {&literal, &driven})
        window->form.LoadLyricLines(media("first.mp3"));

    const std::map<qint64, std::function<void()>> script = {
        {100, [&] { engines.both([](ScriptedEngine& e) { e.run(0); }); }},
        {2500, [&] { engines.both([](ScriptedEngine& e) { e.pauseAt(); }); }},
        {4000, [&] { engines.both([](ScriptedEngine& e) { e.resume(); }); }},
        {5300, [&] { engines.both([](ScriptedEngine& e) { e.seek(12.7); }); }},
        {6000, [&] { engines.both([](ScriptedEngine& e) { e.seek(8.2); }); }},
        {7000,
         [&] {
             for (Window* window : {&literal, &driven})
                 window->form.LoadLyricLines(media("second.mp3"));
         }},
        {7500,
         [&] {
             for (Window* window : {&literal, &driven})
                 Q_EMIT window->form.Image1->clicked();
         }},
        {8800, [&] { engines.both([](ScriptedEngine& e) { e.end(); }); }},
    };

    // When the driven window's Timer1 fires, on the test's clock. Only a tick arms it, and
    // every tick reads the play state once.
    qint64 due = -1;
    int ticksSeen = 0;
    const auto noteArming = [&](qint64 now) {
        if (engines.driven.stateReads == ticksSeen)
            return;
        ticksSeen = engines.driven.stateReads;
        due = driven.form.Timer1->isActive() ? now + driven.form.Timer1->interval() : -1;
    };
    int wakes = 0;
    int wakesWhileStill = 0;
    for (qint64 now = 0; now <= 11000; now += 10) {
        engines.at(now);
        if (const auto action = script.find(now); action != script.end())
            action->second();
        QCoreApplication::sendPostedEvents();
        noteArming(now);
        while (due >= 0 && due <= now) {
            engines.driven.now = due;
            driven.form.timer1Tick();
            ++wakes;
            if (engines.driven.state != PlayState::Playing)
                ++wakesWhileStill;
            noteArming(due);
            engines.driven.now = now;
        }
        literal.form.timer1Tick();
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(driven.shown().join(u'|').toStdString(), literal.shown().join(u'|').toStdString())
            << "at " << now << " ms";
    }
    // Played from 0.1 s to 2.5 s, from 4 s to 8.8 s: a wake for each second that began.
    EXPECT_LE(wakes, 12);
    EXPECT_EQ(wakesWhileStill, 0);
    EXPECT_FALSE(driven.form.Timer1->isActive());
}

TEST_F(TickSchedule, AnIdleWindowArmsNoTimers) {
    Window idle(engines.driven);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(idle.form.Label3->text(), QStringLiteral("还未执行任何操作"));
    EXPECT_FALSE(idle.form.Timer1->isActive());
    EXPECT_FALSE(idle.form.Timer2->isActive());
}

} // namespace
