// A playlist played through the real engine, past the ends of its tracks: every track plays
// from its start, the transport works after an end as before one, and the desktop hears
// what the engine really does.
#include "core/player_core.h"
#include "desktop_integration/desktop_identity.h"
#include "desktop_integration/mpris_service.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "platform/mpv/mpv_engine.h"
#include "support/event_wait.h"
#include "support/generated_audio.h"
#include "support/private_bus.h"
#include "support/temp_folder.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using testsupport::waitUntil;

// Each wait covers a whole two-second track with room to spare on a busy machine.
constexpr int TrackWaitMs = 15000;

class PlaylistPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        QByteArray playlist = QByteArray::number(TrackCount) + "\r\n";
        for (int i = 0; i < TrackCount; ++i) {
            const QString track = music.file(QStringLiteral("track%1.wav").arg(i));
            ASSERT_TRUE(testsupport::writeToneWav(track, 2.0, 8000, 440.0 + 110.0 * i));
            tracks.append(track);
            playlist += track.toUtf8() + "\r\n";
        }
        program.write(QStringLiteral("data.dat"), playlist);
        ASSERT_TRUE(engine.isAvailable());
        core = std::make_unique<PlayerCore>(PlayerCoreServices{engine, world.launcher, world.fonts,
                                                               world.lyricWindows(), program.path(),
                                                               program.path(), [] {}});
        core->load();
        form = std::make_unique<Form1>(
            Form1Services{*core, world.dialogs, world.launcher, world.lyricWindows()});
    }
    void TearDown() override { engine.shutdown(); }

    double position() const { return engine.position() / 1000.0; }
    // A button of the main window, clicked as a user clicks it.
    void click(const char* name) {
        QTest::mouseClick(form->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    // Track `index` is the one opened and its audio moves past `seconds`.
    bool plays(int index, double seconds = 1.0) {
        return waitUntil(
            [&] {
                return core->currentPath() == tracks[index] &&
                       engine.playState() == PlayState::Playing && position() > seconds;
            },
            TrackWaitMs);
    }

    // The current track reached its end and the one after it began.
    bool endsAndMovesOn(int next) {
        QSignalSpy ends(&engine, &MediaEngine::endOfStream);
        return ends.wait(TrackWaitMs) && plays(next, 0.5);
    }

    static constexpr int TrackCount = 4;
    TempFolder music;
    TempFolder program;
    QStringList tracks;
    MpvEngine engine;
    FakeWorld world{program.path()};
    std::unique_ptr<PlayerCore> core;
    std::unique_ptr<Form1> form;
};

TEST_F(PlaylistPlayback, EveryTrackPlaysInTurnAndTheLastWrapsToTheFirst) {
    for (int i = 0; i < TrackCount; ++i)
        ASSERT_TRUE(plays(i)) << "track " << i;
    ASSERT_TRUE(endsAndMovesOn(0));
    EXPECT_EQ(core->playlist().currentRow(), 0);
}

TEST_F(PlaylistPlayback, TransportAfterAnEndWorksAsBeforeOne) {
    ASSERT_TRUE(plays(0));
    ASSERT_TRUE(endsAndMovesOn(1));

    click("Image11"); // pause
    EXPECT_EQ(engine.playState(), PlayState::Paused);
    click("Image9"); // play
    EXPECT_TRUE(plays(1, 1.0));

    click("Image10"); // stop
    EXPECT_EQ(engine.playState(), PlayState::Stopped);
    EXPECT_EQ(position(), 0.0);
    click("Image9");
    EXPECT_TRUE(plays(1, 0.5));

    click("Image13"); // next
    EXPECT_TRUE(plays(2, 0.5));
    click("Image12"); // previous
    EXPECT_TRUE(plays(1, 0.5));
}

TEST_F(PlaylistPlayback, RepeatModeReplaysTheTrackAgainAndAgain) {
    ASSERT_TRUE(plays(0, 0.2));
    click("Image14"); // repeat the track
    for (int replay = 1; replay <= 3; ++replay) {
        QSignalSpy ends(&engine, &MediaEngine::endOfStream);
        ASSERT_TRUE(ends.wait(TrackWaitMs)) << "replay " << replay;
        ASSERT_TRUE(waitUntil([&] { return position() < 1.0; }, TrackWaitMs));
        EXPECT_TRUE(plays(0, 1.0)) << "replay " << replay;
    }
    EXPECT_EQ(core->playlist().currentRow(), 0);
}

// The player on a private session bus, and a client of it as a panel applet is.
class PlaylistOnTheBus : public PlaylistPlayback {
protected:
    void SetUp() override {
        PlaylistPlayback::SetUp();
        ASSERT_TRUE(bus.isRunning());
        mpris = std::make_unique<MprisService>(*core, engine, [] {});
        ASSERT_TRUE(mpris->registerOn(player));
    }
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromUtf16(DesktopIdentity::BusName),
            QString::fromUtf16(DesktopIdentity::ObjectPath), interface, method);
        message.setArguments(arguments);
        return client.call(message, QDBus::BlockWithGui);
    }
    QVariant property(const QString& name) {
        return call(Properties, QStringLiteral("Get"), {PlayerInterface, name})
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant();
    }

    const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
    PrivateBus bus;
    QDBusConnection player = bus.connect(QStringLiteral("player"));
    QDBusConnection client = bus.connect(QStringLiteral("client"));
    std::unique_ptr<MprisService> mpris;
};

// What a panel applet reads over the bus follows the audio, on the second track as on the
// first.
TEST_F(PlaylistOnTheBus, MprisTellsThePlaybackThatReallyHappens) {
    const auto toldPosition = [&] { return property(QStringLiteral("Position")).toLongLong(); };

    for (int track = 0; track < 2; ++track) {
        SCOPED_TRACE(track);
        ASSERT_TRUE(plays(track, 0.2));
        EXPECT_EQ(property(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
        ASSERT_TRUE(waitUntil([&] { return toldPosition() > 1'000'000; }, TrackWaitMs));
        // mpv moves the position on in steps of up to a quarter second.
        const double before = position();
        const double told = toldPosition() / 1e6;
        EXPECT_GE(told, before - 0.3);
        EXPECT_LE(told, position() + 0.3);
    }
    click("Image11");
    EXPECT_EQ(property(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
    // Standing, the two agree exactly once the pause has settled.
    EXPECT_TRUE(waitUntil([&] { return std::abs(toldPosition() / 1e6 - position()) < 0.002; }));
}

// Seeking and the repeat mode from the bus, through the real engine: SetPosition lands on
// the line at its second, Seek moves by an offset, and LoopStatus is the mode's button.
TEST_F(PlaylistOnTheBus, MprisSeeksTheRealEngineAndSetsTheRepeatMode) {
    const QString longTrack = music.file(QStringLiteral("long.wav"));
    ASSERT_TRUE(testsupport::writeToneWav(longTrack, 34.0, 8000, 330.0));
    music.write(QStringLiteral("long.lrc"), "[00:01.00]start\r\n[00:30.00]thirty seconds in\r\n");
    ASSERT_TRUE(plays(0, 0.2)); // the start-up play first
    core->setCurrentPath(longTrack);
    core->replay();
    ASSERT_TRUE(waitUntil(
        [&] { return engine.duration() > 30'000 && property("CanSeek").toBool(); }, TrackWaitMs));
    const QDBusObjectPath track = qdbus_cast<QVariantMap>(property("Metadata"))
                                      .value(QStringLiteral("mpris:trackid"))
                                      .value<QDBusObjectPath>();
    // Another track's id is passed over.
    call(
        PlayerInterface, QStringLiteral("SetPosition"),
        {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/io/github/vellora/Vellora/track/0"))),
         qlonglong(30'000'000)});
    EXPECT_LT(position(), 20.0);
    call(PlayerInterface, QStringLiteral("SetPosition"),
         {QVariant::fromValue(track), qlonglong(30'000'000)});
    ASSERT_TRUE(
        waitUntil([&] { return core->status().lyric() == u"thirty seconds in"; }, TrackWaitMs));
    EXPECT_GE(position(), 29.9);
    call(PlayerInterface, QStringLiteral("Seek"), {qlonglong(-29'000'000)});
    ASSERT_TRUE(waitUntil([&] { return core->status().lyric() == u"start"; }, TrackWaitMs));
    EXPECT_LT(position(), 5.0);

    EXPECT_EQ(property("LoopStatus").toString(), QStringLiteral("Playlist"));
    const auto setLoop = [&](const char* status) {
        return call(Properties, QStringLiteral("Set"),
                    {PlayerInterface, QStringLiteral("LoopStatus"),
                     QVariant::fromValue(QDBusVariant(QString::fromLatin1(status)))});
    };
    setLoop("Track");
    EXPECT_EQ(core->playMode(), PlayMode::RepeatTrack);
    EXPECT_EQ(property("LoopStatus").toString(), QStringLiteral("Track"));
    setLoop("None"); // not a mode of the player's: nothing changes
    EXPECT_EQ(core->playMode(), PlayMode::RepeatTrack);
    setLoop("Playlist");
    EXPECT_EQ(core->playMode(), PlayMode::Advance);
}

} // namespace
