// The engine on the real libmpv, with generated tones. Nothing here bounds the wall clock:
// where time must pass, a second engine playing a track of known length is the witness.
#include "platform/mpv/mpv_engine.h"
#include "support/event_wait.h"
#include "support/generated_audio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <vector>

using testsupport::writeToneWav;

namespace {

// Runs the event loop, where the engine's mirrored state changes, until `done` holds; the
// time-out only keeps a broken engine from hanging the test.
bool spinUntil(const std::function<bool()>& done) {
    return testsupport::waitUntil(done, 15000);
}

// What a reader that wakes only on the engine's signals gets to see.
struct Announcement {
    PlayState state;
    bool hasMedia;
    qint64 position;
    qint64 duration;
};

class MpvEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeToneWav(tone, 2.0));
        ASSERT_TRUE(engine.isAvailable());
        QObject::connect(&engine, &MediaEngine::endOfStream, [this](int) {
            statesAtEnd.push_back(engine.playState());
            positionsAtEnd.push_back(engine.position());
        });
        const auto note = [this] {
            announced.push_back(
                {engine.playState(), engine.hasMedia(), engine.position(), engine.duration()});
        };
        QObject::connect(&engine, &MediaEngine::playStateChanged, note);
        QObject::connect(&engine, &MediaEngine::mediaChanged, note);
        QObject::connect(&engine, &MediaEngine::durationChanged, note);
        QObject::connect(&engine, &MediaEngine::positionChanged, note);
    }

    // Spins until the state is `state` and was announced, noting every state read on the way.
    bool reaches(PlayState state) {
        return spinUntil([&] {
            seen.insert(engine.playState());
            return engine.playState() == state && !announced.empty() &&
                   announced.back().state == state;
        });
    }
    bool positionPasses(qint64 milliseconds) {
        return spinUntil([&] { return engine.position() > milliseconds; });
    }
    bool knowsItsLength(qint64 milliseconds) {
        return spinUntil([&] { return std::llabs(engine.duration() - milliseconds) < 50; });
    }

    // Lets a track of this length play to its end on an engine of its own: real time passes,
    // as much as the audio of that track takes.
    void whileAnotherTrackPlays(double seconds) {
        const QString witnessTone = dir.filePath(QStringLiteral("witness.wav"));
        ASSERT_TRUE(writeToneWav(witnessTone, seconds));
        MpvEngine witness;
        QSignalSpy ended(&witness, &MediaEngine::endOfStream);
        witness.setURL(witnessTone);
        ASSERT_TRUE(spinUntil([&] { return !ended.isEmpty(); }));
        witness.shutdown();
    }

    QString makeFifo() {
        const QString path = dir.filePath(QStringLiteral("fifo.mp3"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    MpvEngine engine;
    std::set<PlayState> seen;
    std::vector<PlayState> statesAtEnd;
    std::vector<qint64> positionsAtEnd;
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
    EXPECT_FALSE(engine.hasMedia());
    EXPECT_EQ(engine.position(), 0);
    EXPECT_EQ(engine.duration(), 0);
    EXPECT_EQ(engine.rate(), 0.0);

    // Paused after the file was handed over; the other way round it would play.
    ASSERT_TRUE(reaches(PlayState::Paused));
    EXPECT_TRUE(knowsItsLength(2000));
    EXPECT_LT(engine.position(), 1000);
    EXPECT_EQ(engine.volume(), 30);
}

TEST_F(MpvEngineTest, PlaysPausesAndEndsWithTheAudio) {
    engine.setURL(tone);
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_TRUE(knowsItsLength(2000));
    EXPECT_EQ(engine.rate(), 1.0);

    // Paused right at the start: while another track plays a second, nothing moves.
    engine.pause();
    EXPECT_EQ(engine.playState(), PlayState::Paused);
    EXPECT_EQ(engine.rate(), 0.0);
    whileAnotherTrackPlays(1.0);
    EXPECT_EQ(engine.playState(), PlayState::Paused);
    EXPECT_LT(engine.position(), 1000);
    ASSERT_TRUE(engine.mpvPosition().has_value());
    EXPECT_LT(*engine.mpvPosition(), 1.0);

    engine.play();
    EXPECT_EQ(engine.playState(), PlayState::Playing);
    EXPECT_TRUE(positionPasses(1000));
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    EXPECT_EQ(statesAtEnd, std::vector<PlayState>{PlayState::MediaEnded});
    // Only when the end waits for the queued audio does the position get to the duration; an
    // end announced about 0.4 s early would cut the last of the audio off for the next track.
    ASSERT_EQ(positionsAtEnd.size(), 1u);
    EXPECT_GE(positionsAtEnd[0], engine.duration() - 100);
    EXPECT_EQ(engine.rate(), 0.0);

    engine.play();
    EXPECT_EQ(engine.position(), 0);
    EXPECT_TRUE(reaches(PlayState::Playing));
    EXPECT_TRUE(knowsItsLength(2000));
}

// Readers wake only on the signals and go by rate() in between, so every change must be told,
// and the position must run with the audio mpv plays.
TEST_F(MpvEngineTest, EveryChangeIsAnnouncedAndThePositionFollowsTheAudio) {
    const QString track = dir.filePath(QStringLiteral("three.wav"));
    ASSERT_TRUE(writeToneWav(track, 3.0));
    engine.setURL(track);
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_TRUE(knowsItsLength(3000));

    // At several moments of the play, the mirrored position is where mpv says it is: mpv moves
    // its own on in steps of up to a quarter second.
    for (qint64 at : {500, 1000, 1500}) {
        ASSERT_TRUE(positionPasses(at));
        const std::optional<double> own = engine.mpvPosition();
        ASSERT_TRUE(own.has_value());
        EXPECT_NEAR(engine.position() / 1000.0, *own, 0.3) << at;
    }

    announced.clear();
    engine.pause();
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.front().state, PlayState::Paused);
    // The output's last buffered audio may still move the position a little, but not untold.
    whileAnotherTrackPlays(0.5);
    EXPECT_EQ(engine.position(), announced.back().position);

    announced.clear();
    engine.play();
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0].state, PlayState::Playing);
    EXPECT_EQ(engine.rate(), 1.0);

    announced.clear();
    engine.stop();
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.back().state, PlayState::Stopped);
    EXPECT_EQ(announced.back().position, 0);

    engine.play();
    ASSERT_TRUE(reaches(PlayState::Playing));
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    EXPECT_NEAR(announced.back().position, 3000, 100);

    // Back to the start: told at once.
    announced.clear();
    engine.play();
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.back().position, 0);
    EXPECT_TRUE(reaches(PlayState::Playing));
}

// A track playing on tells nothing between its start and its end: the position runs as rate()
// says, and mpv's reports of it, agreeing, wake no reader.
TEST_F(MpvEngineTest, ATrackPlayingOnTellsNothingUntilItEnds) {
    engine.setURL(tone);
    ASSERT_TRUE(reaches(PlayState::Playing));
    ASSERT_TRUE(knowsItsLength(2000));
    ASSERT_TRUE(positionPasses(200));
    announced.clear();
    ASSERT_TRUE(spinUntil([&] { return !statesAtEnd.empty(); }));
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.front().state, PlayState::MediaEnded);
}

TEST_F(MpvEngineTest, StopKeepsTheMediaAndPlayStartsItAgain) {
    engine.setURL(tone);
    ASSERT_TRUE(positionPasses(1000));

    engine.stop();
    EXPECT_EQ(engine.playState(), PlayState::Stopped);
    EXPECT_EQ(engine.position(), 0);
    whileAnotherTrackPlays(1.0);
    EXPECT_EQ(engine.playState(), PlayState::Stopped);
    EXPECT_EQ(engine.position(), 0);
    EXPECT_LT(engine.mpvPosition().value_or(0), 0.5);
    EXPECT_NEAR(engine.duration(), 2000, 50);

    engine.play();
    ASSERT_TRUE(reaches(PlayState::Playing));
    EXPECT_LT(engine.position(), 500);
    EXPECT_TRUE(positionPasses(1000));
    EXPECT_TRUE(statesAtEnd.empty());
}

TEST_F(MpvEngineTest, ReplacingTheMediaNeitherEndsItNorKeepsItsTimes) {
    const QString other = dir.filePath(QStringLiteral("other.wav"));
    ASSERT_TRUE(writeToneWav(other, 2.0, 8000, 660.0));
    engine.setURL(tone);
    ASSERT_TRUE(positionPasses(1000));

    engine.setURL(other);
    EXPECT_EQ(engine.playState(), PlayState::Transitioning);
    std::set<qint64> positions;
    ASSERT_TRUE(spinUntil([&] {
        if (engine.playState() == PlayState::Playing)
            return true;
        positions.insert(engine.position());
        return false;
    }));
    // Nothing the replaced file still reported may show through.
    EXPECT_EQ(positions, std::set<qint64>{0});
    // Same length as the file before: the duration must be learnt again all the same.
    EXPECT_TRUE(knowsItsLength(2000));
    EXPECT_LT(engine.position(), 1000);
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
    EXPECT_TRUE(positionPasses(1000));
    EXPECT_GT(engine.mpvPosition().value_or(0), 0.5);
    ASSERT_TRUE(reaches(PlayState::MediaEnded));
    EXPECT_EQ(statesAtEnd, (std::vector<PlayState>{PlayState::MediaEnded, PlayState::MediaEnded}));
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
        // Once mpv has nothing open it starts nothing more of what the path expanded to.
        EXPECT_TRUE(spinUntil([&] {
            seen.insert(engine.playState());
            return engine.isIdle();
        }));
        EXPECT_EQ(engine.playState(), PlayState::Ready);
        EXPECT_FALSE(seen.contains(PlayState::Playing));
        EXPECT_FALSE(engine.hasMedia());
        EXPECT_EQ(engine.position(), 0);
        EXPECT_EQ(engine.duration(), 0);

        engine.play();
        EXPECT_EQ(engine.playState(), PlayState::Ready);
    }
    EXPECT_TRUE(statesAtEnd.empty());
}

// A pipe nobody writes to never opens and a device never ends: neither reaches mpv, which
// would block on the one and probe the other for seconds. The call answers at once (a call
// that blocked would hang the test), and mpv is left with nothing open.
TEST_F(MpvEngineTest, PathsThatAreNotFilesNeverReachMpv) {
    for (const QString& path : {makeFifo(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        MpvEngine other;
        other.setURL(tone);
        ASSERT_TRUE(spinUntil([&] { return other.playState() == PlayState::Playing; }));
        other.setURL(path);
        EXPECT_EQ(other.playState(), PlayState::Ready);
        EXPECT_TRUE(spinUntil([&] { return other.isIdle(); }));
        other.shutdown();
        EXPECT_FALSE(other.isAvailable());
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
    // Closed while libmpv is still loading.
    {
        MpvEngine early;
        QSignalSpy reports(&early, &MpvEngine::unavailable);
        early.setURL(tone);
        QCoreApplication::processEvents(); // loading starts
        early.shutdown();
        QCoreApplication::processEvents();
        EXPECT_FALSE(early.isAvailable());
        EXPECT_EQ(early.playState(), PlayState::Undefined);
        EXPECT_TRUE(reports.isEmpty());
    }

    // Without media: applied in order once libmpv is ready, before the file after them,
    // and nothing comes of them.
    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_FALSE(engine.hasMedia());
    engine.play();
    engine.pause();
    engine.stop();
    engine.setURL(tone);
    ASSERT_TRUE(reaches(PlayState::Playing));
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.front().state, PlayState::Transitioning);
    EXPECT_TRUE(announced.front().hasMedia);
    engine.shutdown();
    engine.shutdown();
    engine.setURL(tone);
    engine.play();
    engine.stop();
    QCoreApplication::processEvents();
    EXPECT_FALSE(engine.isAvailable());
    EXPECT_EQ(engine.playState(), PlayState::Undefined);
    EXPECT_FALSE(engine.hasMedia());
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
        const bool reported = reports.wait(15000);
        std::setlocale(LC_NUMERIC, "C");
        ASSERT_TRUE(reported);
        const QString reason = reports.first().first().toString();
        EXPECT_TRUE(failure.library.isEmpty() ? !reason.isEmpty()
                                              : reason.contains(failure.library));

        EXPECT_FALSE(engine.isAvailable());
        engine.setURL(tone);
        engine.play();
        QCoreApplication::processEvents();
        EXPECT_EQ(reports.size(), 1);
        EXPECT_EQ(engine.playState(), PlayState::Undefined);
        EXPECT_FALSE(engine.hasMedia());
        EXPECT_EQ(engine.volume(), 100);
    }
}

} // namespace
