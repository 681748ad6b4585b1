// The player on a private session bus, called the way a panel applet or playerctl calls
// it: its commands take the window's own paths, and it tells each change once.
#include "desktop_integration/desktop_identity.h"
#include "desktop_integration/mpris_service.h"
#include "player/playlist_file.h"
#include "support/event_wait.h"
#include "support/player_fixture.h"
#include "support/private_bus.h"

#include <QBuffer>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString Player = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

// Every PropertiesChanged the player sends, as the names and values it carried.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeked;
public Q_SLOTS:
    void record(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == Player)
            changes.append(changed);
    }
    void recordSeek(qlonglong position) { seeked.append(position); }
};

class Mpris : public ::testing::Test, public PlayerFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus.isRunning());
        music.write("Night Ferry.v2.mp3", "x");
        music.write("Night Ferry.v2.lrc", "[00:01.00]first line\r\n[00:02.00]第二行\r\n");
        writePlaylist("3\r\n" + music.file("Night Ferry.v2.mp3").toUtf8() +
                      "\r\n/music/b.mp3\r\n/music/c.mp3\r\n");
        start();
        service = std::make_unique<MprisService>(*player, engine, [this] { ++raised; });
        player->timer3Tick(); // the start-up play of the first entry
        ASSERT_TRUE(service->registerOn(playerBus));
        ASSERT_TRUE(client.connect(QString::fromUtf16(DesktopIdentity::BusName),
                                   QString::fromUtf16(DesktopIdentity::ObjectPath), Properties,
                                   "PropertiesChanged", &recorder,
                                   SLOT(record(QString, QVariantMap, QStringList))));
        ASSERT_TRUE(client.connect(QString::fromUtf16(DesktopIdentity::BusName),
                                   QString::fromUtf16(DesktopIdentity::ObjectPath), Player,
                                   "Seeked", &recorder, SLOT(recordSeek(qlonglong))));
    }

    // The player answers from this thread's event loop, so the call waits running it.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromUtf16(DesktopIdentity::BusName),
            QString::fromUtf16(DesktopIdentity::ObjectPath), interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = client.call(message, QDBus::BlockWithGui);
        // The player sent whatever the call caused before it answered, and the bus keeps the
        // order: the signals are in by now, waiting to be delivered.
        QCoreApplication::sendPostedEvents();
        return reply;
    }
    QVariant property(const QString& name) {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {Player, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap metadata() { return qdbus_cast<QVariantMap>(property("Metadata")); }
    // The player may already have done what it does after answering while the call waited.
    static bool happened(QSignalSpy& spy) { return !spy.isEmpty() || spy.wait(); }
    // The engine reports a change; what the player told of it is in once a call has been
    // answered after it.
    void engineChanges(PlayState state) {
        engine.state = state;
        engine.announce();
        property("Identity");
    }

    PrivateBus bus;
    QDBusConnection playerBus = bus.connect("player");
    QDBusConnection client = bus.connect("client");
    TempFolder music;
    std::unique_ptr<MprisService> service;
    int raised = 0;
    ChangeRecorder recorder;
};

TEST_F(Mpris, TransportCommandsTakeTheButtonsPaths) {
    engine.calls.clear();
    for (const char* method : {"Play", "Pause", "Stop"})
        call(Player, method);
    engine.state = PlayState::Playing;
    call(Player, "PlayPause");
    engine.state = PlayState::Paused;
    call(Player, "PlayPause");
    EXPECT_EQ(engine.calls, (QStringList{"play", "pause", "stop", "pause", "play"}));

    QSignalSpy opened(player.get(), &PlayerCore::mediaOpened);
    call(Player, "Next");
    ASSERT_TRUE(happened(opened));
    EXPECT_EQ(engine.url, "/music/b.mp3");
    call(Player, "Previous");
    call(Player, "Previous");
    EXPECT_EQ(player->playlist().currentRow(), 2); // wraps as the button does
    EXPECT_EQ(property("CanSeek"), false);
    EXPECT_EQ(property("CanGoNext"), true);
}

// Seeking from the bus: told once it can, moved in milliseconds, clamped by the core, and a
// position for another track, or outside this one, passed over; each jump told as Seeked.
TEST_F(Mpris, SeeksWhileTheEngineCanAndTellsEachJump) {
    engine.length = 200'000;
    engine.place(10'000, 1);
    engineChanges(PlayState::Playing);
    call(Player, "Seek", {qlonglong(5'000'000)});
    EXPECT_EQ(engine.calls.filter("seek"), QStringList{}); // the engine cannot seek yet
    engine.seekable = true;
    engineChanges(PlayState::Playing);
    EXPECT_EQ(recorder.changes.last().value("CanSeek"), true);
    engine.calls.clear();
    recorder.seeked.clear();
    call(Player, "Seek", {qlonglong(5'000'000)});
    call(Player, "Seek", {qlonglong(-60'000'000)});
    call(Player, "Seek", {qlonglong(900'000'000)});
    call(Player, "SetPosition", {metadata().value("mpris:trackid"), qlonglong(42'500'000)});
    call(Player, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath("/io/github/vellora/Vellora/track/999")),
          qlonglong(1'000'000)});
    call(Player, "SetPosition", {metadata().value("mpris:trackid"), qlonglong(201'000'000)});
    EXPECT_EQ(engine.calls, (QStringList{"seek=15000", "seek=0", "seek=200000", "seek=42500"}));
    EXPECT_EQ(recorder.seeked, (QList<qlonglong>{15'000'000, 0, 200'000'000, 42'500'000}));
    EXPECT_EQ(property("Position").toLongLong(), 42'500'000);
}

TEST_F(Mpris, MetadataDescribesTheOpenedTrackWithItsLyrics) {
    engine.length = 4'503'250;
    engine.place(1500, 1);
    engineChanges(PlayState::Playing);
    const QVariantMap tags = metadata();
    EXPECT_EQ(tags.value("xesam:title"), "Night Ferry.v2");
    EXPECT_EQ(tags.value("xesam:url"),
              QUrl::fromLocalFile(music.file("Night Ferry.v2.mp3")).toString(QUrl::FullyEncoded));
    EXPECT_EQ(tags.value("xesam:asText"), "[00:01.00]first line\n[00:02.00]第二行");
    EXPECT_EQ(tags.value("mpris:length").toLongLong(), 4'503'250'000LL);
    EXPECT_TRUE(tags.value("mpris:trackid").value<QDBusObjectPath>().path().startsWith("/io/"));
    EXPECT_EQ(property("PlaybackStatus"), "Playing");
    engine.now = 250;
    EXPECT_EQ(property("Position").toLongLong(), 1'750'000);
}

TEST_F(Mpris, TagsBringArtistAlbumLengthAndCoverAndAreToldWhenTheyArrive) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    MediaTags tags;
    tags.title = QStringLiteral("夜渡");
    tags.artist = QStringLiteral("Artist");
    tags.album = QStringLiteral("Album");
    tags.durationMs = 183'500;
    tags.cover = {png, QStringLiteral("image/png")};
    tagReader.set(music.file("Night Ferry.v2.mp3"), tags);
    recorder.changes.clear();

    player->replay(); // the same file, opened again: its tags are read now
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            property("Identity");
            return !recorder.changes.isEmpty() &&
                   qdbus_cast<QVariantMap>(recorder.changes.last().value("Metadata"))
                       .contains("xesam:artist");
        },
        30'000));
    const QVariantMap told = metadata();
    EXPECT_EQ(told.value("xesam:title"), QStringLiteral("夜渡"));
    // As MPRIS types them: the artists a list of texts, the album one text.
    EXPECT_EQ(told.value("xesam:artist").metaType(), QMetaType::fromType<QStringList>());
    EXPECT_EQ(told.value("xesam:artist").toStringList(), QStringList{"Artist"});
    EXPECT_EQ(told.value("xesam:album"), "Album");
    // The engine does not know the length yet; the tags do.
    EXPECT_EQ(told.value("mpris:length").toLongLong(), 183'500'000LL);
    const QUrl art(told.value("mpris:artUrl").toString());
    ASSERT_TRUE(art.isLocalFile());
    EXPECT_TRUE(art.toLocalFile().startsWith(userData.file("art/")));
    QFile cover(art.toLocalFile());
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
    EXPECT_EQ(cover.readAll(), png);

    // Once the engine knows the length, its own is told.
    engine.media = true;
    engine.length = 183'000;
    engineChanges(PlayState::Playing);
    EXPECT_EQ(metadata().value("mpris:length").toLongLong(), 183'000'000LL);
}

TEST_F(Mpris, EachChangeIsToldOnceAndOnlyWhatChanged) {
    engineChanges(PlayState::Playing);
    engineChanges(PlayState::Playing);
    ASSERT_EQ(recorder.changes.size(), 1);
    EXPECT_EQ(recorder.changes[0].keys(), QStringList{"PlaybackStatus"});

    QSignalSpy opened(player.get(), &PlayerCore::mediaOpened);
    call(Player, "Next"); // opens another track
    ASSERT_TRUE(happened(opened));
    property("Identity");
    engine.media = true;
    engine.length = 180'000;
    engineChanges(PlayState::Playing);
    ASSERT_EQ(recorder.changes.size(), 3);
    EXPECT_EQ(recorder.changes[1].keys(), QStringList{"Metadata"});
    const auto told = qdbus_cast<QVariantMap>(recorder.changes[2].value("Metadata"));
    EXPECT_EQ(told.value("mpris:length").toLongLong(), 180'000'000);

    call(Properties, "Set", {Player, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(engine.volume(), 25);
    ASSERT_EQ(recorder.changes.size(), 4);
    EXPECT_EQ(recorder.changes[3].keys(), QStringList{"Volume"});

    player->playlist().clear();
    property("Identity");
    ASSERT_EQ(recorder.changes.size(), 5);
    EXPECT_EQ(recorder.changes[4].keys(), (QStringList{"CanGoNext", "CanGoPrevious"}));
}

TEST_F(Mpris, QuitClosesAsTheWindowDoesAndTheNameIsTheFirstPlayersOnly) {
    MprisService second(*player, engine, [] {});
    EXPECT_FALSE(second.registerOn(bus.connect("second")));
    EXPECT_FALSE(second.registerOn(QDBusConnection(QStringLiteral("no bus"))));

    call(QString::fromUtf16(DesktopIdentity::RootInterface), "Raise");
    QFile::remove(programFolder.file("data.dat"));
    QSignalSpy closing(&player->exit(), &ExitSequence::closing);
    call(QString::fromUtf16(DesktopIdentity::RootInterface), "Quit");
    ASSERT_TRUE(happened(closing)); // the exit fade
    EXPECT_TRUE(QFile::exists(programFolder.file("data.dat")));
    EXPECT_EQ(raised, 1);
}

// Whatever another program hands over is checked before the call returns: a refusal is a
// D-Bus error and is never stored, and what may join does.
TEST_F(Mpris, PathsFromTheBusAreCheckedAndARefusalIsAnError) {
    const QString good = music.write("good.mp3", "x");
    const QString files = QString::fromUtf16(DesktopIdentity::FilesInterface);
    const struct {
        QString interface;
        const char* method;
        QVariant argument;
    } refused[] = {
        {Player, "OpenUri", QStringLiteral("https://example.org/a.mp3")},
        {Player, "OpenUri", QStringLiteral("file:///dev/zero")},
        {files, "Open", QStringList{QStringLiteral("/proc/self/environ")}},
        {files, "Open", QStringList{QStringLiteral("relative.mp3")}},
        {files, "Open", QStringList{QString()}},
    };
    for (const auto& c : refused) {
        const QDBusMessage reply = call(c.interface, c.method, {c.argument});
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << c.argument.toString().toStdString();
        EXPECT_EQ(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    }
    EXPECT_EQ(player->playlist().model().count(), 3);

    const QDBusMessage mixed =
        call(files, "Open", {QStringList{QStringLiteral("/dev/zero"), good}});
    EXPECT_EQ(mixed.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(mixed.errorMessage().contains(QStringLiteral("/dev/zero")));
    ASSERT_TRUE(testsupport::waitUntil([&] { return player->playlist().model().count() == 4; }));
    EXPECT_EQ(player->playlist().model().path(3), good);

    // Only this machine's files: no host or "localhost", never another host's name.
    const QString firstFolder = good.section(u'/', 1, 1);
    const QDBusMessage elsewhere =
        call(Player, "OpenUri", {"file://" + firstFolder + good.mid(firstFolder.size() + 1)});
    EXPECT_EQ(elsewhere.type(), QDBusMessage::ErrorMessage);
    for (const QString& uri : {QUrl::fromLocalFile(good).toString(), "file://localhost" + good})
        EXPECT_EQ(call(Player, "OpenUri", {uri}).type(), QDBusMessage::ReplyMessage)
            << uri.toStdString();
    ASSERT_TRUE(testsupport::waitUntil([&] { return player->playlist().model().count() == 6; }));
}

// One call that names a folder of 2,000 MP3s 20,000 times fills the playlist and is
// answered, with one message for what did not fit; the folder is not listed 20,000 times
// (bench/playlist_bench.cpp times it).
TEST_F(Mpris, OneCallFillsThePlaylistWithOneMessage) {
    TempFolder big;
    for (int i = 0; i < 2000; ++i)
        big.write(QStringLiteral("%1.mp3").arg(i), {});
    QSignalSpy messages(player.get(), &PlayerCore::message);
    const QString files = QString::fromUtf16(DesktopIdentity::FilesInterface);
    const QStringList sameFolder(20'000, big.path());
    EXPECT_EQ(call(files, "Open", {sameFolder}).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(player->playlist().model().count(), PlaylistFile::MaxEntries);
    EXPECT_EQ(messages.size(), 1);
}

} // namespace

#include "mpris_test.moc"
