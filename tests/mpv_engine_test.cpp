#include "platform/mpv_engine.h"
#include "support/generated_audio.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <clocale>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

using testsupport::writeToneWav;

void PrintTo(const MediaClock& clock, std::ostream* out) {
    *out << "{position " << clock.position << ", rate " << clock.rate << '}';
}

namespace {

// Runs the event loop, where the engine's mirrored state changes, until `done` holds.
template <typename Done> bool spinUntil(Done done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

void spinFor(int ms) {
    spinUntil([] { return false; }, ms);
}

// How often the calling thread has gone to sleep and been woken since it started.
long voluntarySwitchesOfThisThread() {
    std::ifstream status("/proc/thread-self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("voluntary_ctxt_switches:"))
            return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// What a reader that wakes only on changed() gets to see.
struct Announcement {
    int state;
    std::optional<MediaClock> clock;
    std::optional<QString> duration;
};

class MpvEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeToneWav(tone, 2.0));
        ASSERT_TRUE(engine.isAvailable());
        QObject::connect(&engine, &MediaEngine::endOfStream,
                         [this](int) { statesAtEnd.push_back(engine.playState()); });
        QObject::connect(&engine, &MediaEngine::changed, [this] {
            announced.push_back({engine.playState(), engine.clock(), engine.durationString()});
        });
    }

    // Spins until the state is `state` and was announced, noting every state read on the way.
    bool reaches(int state, int timeoutMs = 5000) {
        return spinUntil(
            [&] {
                seen.insert(engine.playState());
                return engine.playState() == state && !announced.empty() &&
                       announced.back().state == state;
            },
            timeoutMs);
    }

    // The announcements that `action` made before it returned.
    template <typename Action> std::vector<Announcement> announcedBy(Action action) {
        const std::size_t before = announced.size();
        action();
        return {announced.begin() + static_cast<std::ptrdiff_t>(before), announced.end()};
    }

    bool positionReads(const QString& text) {
        return spinUntil([&] { return engine.currentPositionString() == text; });
    }

    QString makeFifo() {
        const QString path = dir.filePath(QStringLiteral("fifo.mp3"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    MpvEngine engine;
    std::set<int> seen;
    std::vector<int> statesAtEnd;
    std::vector<Announcement> announced;
};

// main() creates the engine just before the window, which sets the volume and opens the first
// entry while libmpv may still be loading: those calls wait for it and keep their order.
TEST_F(MpvEngineTest, CallsMadeWhileLoadingAreAppliedInOrderOnceReady) {
    engine.setVolume(150);
    EXPECT_EQ(engine.volume(), 100);
    engine.setVolume(30);
    engine.setURL(tone);
    engine.pause();
    EXPECT_EQ(engine.volume(), 30);
    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_EQ(engine.currentPositionString(), std::nullopt);
    EXPECT_EQ(engine.durationString(), std::nullopt);
    EXPECT_EQ(engine.clock(), std::nullopt);

    // Paused after the file was handed over; the other way round it would play.
    ASSERT_TRUE(reaches(PlayState::Paused));
    EXPECT_TRUE(spinUntil([&] { return engine.durationString() == QStringLiteral("00:02"); }));
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    EXPECT_EQ(engine.volume(), 30);
}

TEST_F(MpvEngineTest, PlaysPausesAndEndsWithTheAudio) {
    engine.setURL(tone);
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_TRUE(spinUntil([&] { return engine.durationString() == QStringLiteral("00:02"); }));

    // Paused right at the start, a position that moved on would show within the wait.
    engine.pause();
    EXPECT_EQ(engine.playState(), PlayState::Paused);
    spinFor(1300);
    EXPECT_EQ(engine.playState(), PlayState::Paused);
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));

    QElapsedTimer resumed;
    resumed.start();
    engine.play();
    EXPECT_EQ(engine.playState(), PlayState::Playing);
    EXPECT_TRUE(positionReads(QStringLiteral("00:01")));
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    // Nearly two seconds of tone were left. An end announced while the last of the audio is
    // still queued comes about 0.4 s early, and the next track would cut that audio off.
    EXPECT_GE(resumed.elapsed(), 1800);
    spinFor(300);
    EXPECT_EQ(statesAtEnd, std::vector<int>{PlayState::MediaEnded});
    EXPECT_EQ(engine.playState(), PlayState::MediaEnded);
    // Only when the end waits for the queued audio does the position get to the duration.
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:02"));

    engine.play();
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    EXPECT_TRUE(reaches(PlayState::Playing));
    EXPECT_EQ(engine.durationString(), QStringLiteral("00:02"));
}

// Readers wake only on changed() and go by clock() in between, so every change must be told.
TEST_F(MpvEngineTest, EveryChangeIsAnnouncedAndTheClockFollowsTheAudio) {
    const QString track = dir.filePath(QStringLiteral("three.wav"));
    ASSERT_TRUE(writeToneWav(track, 3.0));
    engine.setURL(track);
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_EQ(announced.back().clock->rate, 1.0);
    EXPECT_TRUE(spinUntil([&] { return announced.back().duration == QStringLiteral("00:03"); }));

    const MediaClock start = *engine.clock();
    QElapsedTimer timer;
    timer.start();
    spinFor(1000);
    // mpv moves the position on in steps of up to a quarter second.
    EXPECT_NEAR(engine.clock()->position - start.position, timer.elapsed() / 1000.0, 0.3);

    auto told = announcedBy([&] { engine.pause(); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].state, PlayState::Paused);
    EXPECT_EQ(told[0].clock->rate, 0.0);
    // The output's last buffered audio may still move the position a little, but not untold.
    spinFor(500);
    EXPECT_EQ(engine.clock(), announced.back().clock);
    EXPECT_NEAR(engine.clock()->position, told[0].clock->position, 0.3);

    told = announcedBy([&] { engine.play(); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].state, PlayState::Playing);
    EXPECT_EQ(told[0].clock->rate, 1.0);

    told = announcedBy([&] { engine.stop(); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].state, PlayState::Stopped);
    EXPECT_EQ(told[0].clock, (MediaClock{0, 0}));

    engine.play();
    ASSERT_TRUE(reaches(PlayState::Playing));
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    EXPECT_NEAR(announced.back().clock->position, 3.0, 0.1);
    EXPECT_EQ(announced.back().clock->rate, 0.0);

    // Back to the start: told at once, and again once the audio moves.
    told = announcedBy([&] { engine.play(); });
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back().clock, (MediaClock{0, 0}));
    EXPECT_TRUE(reaches(PlayState::Playing));
}

// Nothing wakes the UI thread while a track plays on: no changes, no wakeups.
TEST_F(MpvEngineTest, PlayingLetsTheUiThreadSleep) {
    const QString track = dir.filePath(QStringLiteral("four.wav"));
    ASSERT_TRUE(writeToneWav(track, 4.0));
    engine.setURL(track);
    ASSERT_TRUE(reaches(PlayState::Playing));
    spinFor(200); // the duration and the output settling in

    const long before = voluntarySwitchesOfThisThread();
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    const long wakeups = voluntarySwitchesOfThisThread() - before;
    EXPECT_EQ(engine.playState(), PlayState::Playing);
    EXPECT_LE(wakeups, 2 * 4) << "over two seconds";
}

TEST_F(MpvEngineTest, StopKeepsTheMediaAndPlayStartsItAgain) {
    engine.setURL(tone);
    ASSERT_TRUE(positionReads(QStringLiteral("00:01")));

    engine.stop();
    EXPECT_EQ(engine.playState(), PlayState::Stopped);
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    spinFor(1200);
    EXPECT_EQ(engine.playState(), PlayState::Stopped);
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    EXPECT_EQ(engine.durationString(), QStringLiteral("00:02"));

    engine.play();
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    EXPECT_TRUE(positionReads(QStringLiteral("00:01")));
    EXPECT_TRUE(statesAtEnd.empty());
}

TEST_F(MpvEngineTest, ReplacingTheMediaNeitherEndsItNorKeepsItsTimes) {
    const QString other = dir.filePath(QStringLiteral("other.wav"));
    ASSERT_TRUE(writeToneWav(other, 2.0, 8000, 660.0));
    engine.setURL(tone);
    ASSERT_TRUE(positionReads(QStringLiteral("00:01")));

    engine.setURL(other);
    EXPECT_EQ(engine.playState(), PlayState::Transitioning);
    std::set<std::optional<QString>> positions;
    ASSERT_TRUE(spinUntil([&] {
        positions.insert(engine.currentPositionString());
        return engine.playState() == PlayState::Playing;
    }));
    // Nothing the replaced file still reported may show through.
    EXPECT_EQ(positions, std::set<std::optional<QString>>{QStringLiteral("00:00")});
    // Same length as the file before: the duration must be learnt again all the same.
    EXPECT_TRUE(spinUntil([&] { return engine.durationString() == QStringLiteral("00:02"); }));
    EXPECT_EQ(engine.currentPositionString(), QStringLiteral("00:00"));
    EXPECT_TRUE(statesAtEnd.empty());
}

// After an end mpv holds the finished file paused at its end; the next file handed over then
// must play from its start, not sit paused at 0 while the state reads "playing".
TEST_F(MpvEngineTest, AFileOpenedAfterAnEndPlaysFromItsStart) {
    const QString other = dir.filePath(QStringLiteral("other.wav"));
    ASSERT_TRUE(writeToneWav(other, 2.0, 8000, 660.0));
    // Handed over the way the player moves on: from the end's own notification.
    QObject::connect(
        &engine, &MediaEngine::endOfStream, &engine, [&] { engine.setURL(other); },
        Qt::SingleShotConnection);
    engine.setURL(tone);
    ASSERT_TRUE(spinUntil([&] { return !statesAtEnd.empty(); }));
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_TRUE(positionReads(QStringLiteral("00:01")));
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    EXPECT_EQ(statesAtEnd, (std::vector<int>{PlayState::MediaEnded, PlayState::MediaEnded}));
}

TEST_F(MpvEngineTest, PathsReachMpvVerbatim) {
    const QString awkward = dir.filePath(QStringLiteral("a \"b\";'c'\n#歌 ${x}.wav"));
    ASSERT_TRUE(writeToneWav(awkward, 1.0));
    engine.setURL(awkward);
    EXPECT_TRUE(reaches(PlayState::Playing));

    // Only what a link leads to has to be a regular file.
    const QString link = dir.filePath(QStringLiteral("link.wav"));
    ASSERT_TRUE(QFile::link(tone, link));
    engine.setURL(link);
    EXPECT_TRUE(reaches(PlayState::Playing));

    // "-" would be standard input to mpv; as a relative path it is the file of that name.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ASSERT_TRUE(writeToneWav(QStringLiteral("-"), 1.0));
    engine.setURL(QStringLiteral("-"));
    QDir::setCurrent(saved);
    EXPECT_TRUE(reaches(PlayState::Playing));
}

TEST_F(MpvEngineTest, UnplayablePathsStopWhatPlayedAndEndReady) {
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QByteArray garbage;
    for (int i = 0; i < 20000; ++i)
        garbage.append(static_cast<char>((i * 7919 + 13) % 251));
    // A folder of media and a playlist both expand in mpv into other files to play.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(writeToneWav(dir.filePath(QStringLiteral("folder/inside.wav")), 1.0));
    const QString playlist =
        QStringLiteral("#EXTM3U\n") + dir.filePath(QStringLiteral("tone.wav")) + u'\n';

    const QString paths[] = {
        write(QStringLiteral("garbage.mp3"), garbage),
        write(QStringLiteral("empty.mp3"), {}),
        write(QStringLiteral("list.mp3"), playlist.toUtf8()),
        dir.filePath(QStringLiteral("missing.mp3")),
        dir.filePath(QStringLiteral("folder")),
        makeFifo(),
        QStringLiteral("/dev/zero"),
        QString(),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        // Handed over while a track plays: the track must not play on out of reach.
        engine.setURL(tone);
        ASSERT_TRUE(reaches(PlayState::Playing));
        seen.clear();
        engine.setURL(path);
        EXPECT_TRUE(reaches(PlayState::Ready));
        // Whatever mpv might still start from the expansion would show by now.
        spinUntil(
            [&] {
                seen.insert(engine.playState());
                return false;
            },
            300);
        EXPECT_EQ(engine.playState(), PlayState::Ready);
        EXPECT_FALSE(seen.contains(PlayState::Playing));
        EXPECT_EQ(engine.currentPositionString(), std::nullopt);
        EXPECT_EQ(engine.durationString(), std::nullopt);
        EXPECT_TRUE(engine.isIdle());

        engine.play();
        EXPECT_EQ(engine.playState(), PlayState::Ready);
    }
    EXPECT_TRUE(statesAtEnd.empty());
}

// A pipe nobody writes to never opens and a device never ends; neither may hold up the
// caller, and the engine must still close at once with one of them handed to it.
TEST_F(MpvEngineTest, PathsThatAreNotFilesAreRefusedWithoutWaiting) {
    for (const QString& path : {makeFifo(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        MpvEngine other;
        other.setURL(tone);
        ASSERT_TRUE(spinUntil([&] { return other.playState() == PlayState::Playing; }));

        QElapsedTimer timer;
        timer.start();
        other.setURL(path);
        EXPECT_LT(timer.elapsed(), 200);
        EXPECT_EQ(other.playState(), PlayState::Ready);
        EXPECT_TRUE(spinUntil([&] { return other.isIdle(); }, 1000));

        timer.restart();
        other.shutdown();
        EXPECT_LT(timer.elapsed(), 1000);
    }
}

TEST_F(MpvEngineTest, VolumeReadsBackWhatWasSetWithinRange) {
    engine.setVolume(37);
    EXPECT_EQ(engine.volume(), 37);
    engine.setVolume(150);
    EXPECT_EQ(engine.volume(), 100);
    engine.setVolume(-5);
    EXPECT_EQ(engine.volume(), 0);

    // The exit fade steps down from what it reads, so the read must not lag the write.
    engine.setURL(tone);
    engine.setVolume(45);
    engine.setVolume(engine.volume() - 5);
    EXPECT_EQ(engine.volume(), 40);
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_EQ(engine.volume(), 40);
}

TEST_F(MpvEngineTest, WithoutMediaOrAfterShutdownEveryCallIsHarmless) {
    // Closed while libmpv is still loading: the engine waits no longer than it would for mpv.
    {
        MpvEngine early;
        QSignalSpy reports(&early, &MpvEngine::unavailable);
        early.setURL(tone);
        QCoreApplication::processEvents(); // loading starts
        QElapsedTimer timer;
        timer.start();
        early.shutdown();
        EXPECT_LT(timer.elapsed(), 1000);
        spinFor(100);
        EXPECT_FALSE(early.isAvailable());
        EXPECT_EQ(early.playState(), PlayState::Undefined);
        EXPECT_TRUE(reports.isEmpty());
    }

    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_EQ(engine.currentPositionString(), std::nullopt);
    engine.play();
    engine.pause();
    engine.stop();
    spinFor(100);
    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_EQ(engine.durationString(), std::nullopt);

    engine.setURL(tone);
    ASSERT_TRUE(reaches(PlayState::Playing));
    engine.shutdown();
    engine.shutdown();
    engine.setURL(tone);
    engine.play();
    engine.stop();
    spinFor(100);
    EXPECT_FALSE(engine.isAvailable());
    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_EQ(engine.currentPositionString(), std::nullopt);
    EXPECT_TRUE(statesAtEnd.empty());
}

// Without a usable libmpv the program still runs: the engine says why, once, and plays nothing.
TEST(MpvEngineUnavailable, SaysWhyOnceAndActsAsAnEngineWithNoMedia) {
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(writeToneWav(tone, 1.0));
    struct Failure {
        const char* what;
        QString library;
        const char* numericLocale;
    };
    // libmpv refuses to start under a locale whose numbers are not formatted the C way.
    const Failure failures[] = {{"no such library", QStringLiteral("libmpv-absent.so.2"), "C"},
                                {"libmpv refuses to start", QString(), "C.utf8"}};
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.what);
        if (!std::setlocale(LC_NUMERIC, failure.numericLocale))
            continue;
        MpvEngine engine(failure.library);
        QSignalSpy reports(&engine, &MpvEngine::unavailable);
        engine.setVolume(120);
        engine.setURL(tone);
        engine.play();
        const bool reported = spinUntil([&] { return !reports.isEmpty(); });
        std::setlocale(LC_NUMERIC, "C");
        ASSERT_TRUE(reported);
        const QString reason = reports.first().first().toString();
        EXPECT_TRUE(failure.library.isEmpty() ? !reason.isEmpty()
                                              : reason.contains(failure.library));

        EXPECT_FALSE(engine.isAvailable());
        engine.setURL(tone);
        engine.play();
        spinFor(100);
        EXPECT_EQ(reports.size(), 1);
        EXPECT_EQ(engine.playState(), PlayState::Undefined);
        EXPECT_EQ(engine.currentPositionString(), std::nullopt);
        EXPECT_EQ(engine.durationString(), std::nullopt);
        EXPECT_EQ(engine.clock(), std::nullopt);
        EXPECT_EQ(engine.volume(), 100);
    }
}

} // namespace
