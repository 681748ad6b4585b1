// The player on a private session bus, called the way a panel applet or playerctl calls
// it: its commands take the window's own paths, and it tells each change once.
#include "desktop_integration/desktop_identity.h"
#include "desktop_integration/mpris_service.h"
#include "support/event_wait.h"
#include "support/form1_fixture.h"
#include "support/private_bus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QListWidget>
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
public Q_SLOTS:
    void record(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == Player)
            changes.append(changed);
    }
};

class Mpris : public ::testing::Test, public Form1Fixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus.isRunning());
        music.write("Night Ferry.v2.mp3", "x");
        music.write("Night Ferry.v2.lrc", "[00:01.00]first line\r\n[00:02.00]第二行\r\n");
        writePlaylist("3\r\n" + music.file("Night Ferry.v2.mp3").toUtf8() +
                      "\r\n/music/b.mp3\r\n/music/c.mp3\r\n");
        form = &start();
        service = std::make_unique<MprisService>(*form, engine);
        form->timer3Tick(); // the start-up play of the first entry
        ASSERT_TRUE(service->registerOn(player));
        ASSERT_TRUE(client.connect(QString::fromUtf16(DesktopIdentity::BusName),
                                   QString::fromUtf16(DesktopIdentity::ObjectPath), Properties,
                                   "PropertiesChanged", &recorder,
                                   SLOT(record(QString, QVariantMap, QStringList))));
    }

    // The player answers from this thread's event loop, so the call waits running it.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromUtf16(DesktopIdentity::BusName),
            QString::fromUtf16(DesktopIdentity::ObjectPath), interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = client.call(message, QDBus::BlockWithGui);
        testsupport::runEventLoopFor(50); // the signals that the call caused
        return reply;
    }
    QVariant property(const QString& name) {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {Player, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap metadata() { return qdbus_cast<QVariantMap>(property("Metadata")); }
    void engineChanges(int state) {
        engine.state = state;
        Q_EMIT engine.changed();
        testsupport::runEventLoopFor(50);
    }

    PrivateBus bus;
    QDBusConnection player = bus.connect("player");
    QDBusConnection client = bus.connect("client");
    TempFolder music;
    Form1* form = nullptr;
    std::unique_ptr<MprisService> service;
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

    call(Player, "Next");
    EXPECT_EQ(engine.url, "/music/b.mp3");
    call(Player, "Previous");
    call(Player, "Previous");
    EXPECT_EQ(form->selectedIndex(), 2); // wraps as the button does
    EXPECT_EQ(property("CanSeek"), false);
    EXPECT_EQ(property("CanGoNext"), true);
}

TEST_F(Mpris, MetadataDescribesTheOpenedTrackWithItsLyrics) {
    engine.duration = "75:03";
    engineChanges(PlayState::Playing);
    const QVariantMap tags = metadata();
    EXPECT_EQ(tags.value("xesam:title"), "Night Ferry.v2");
    EXPECT_EQ(tags.value("xesam:url"),
              QUrl::fromLocalFile(music.file("Night Ferry.v2.mp3")).toString(QUrl::FullyEncoded));
    EXPECT_EQ(tags.value("xesam:asText"), "[00:01.00]first line\n[00:02.00]第二行");
    EXPECT_EQ(tags.value("mpris:length").toLongLong(), 4503LL * 1'000'000);
    EXPECT_TRUE(tags.value("mpris:trackid").value<QDBusObjectPath>().path().startsWith("/io/"));
    EXPECT_EQ(property("PlaybackStatus"), "Playing");
    engine.mediaClock = MediaClock{1.5, 1};
    EXPECT_EQ(property("Position").toLongLong(), 1'500'000);
}

TEST_F(Mpris, EachChangeIsToldOnceAndOnlyWhatChanged) {
    engineChanges(PlayState::Playing);
    engineChanges(PlayState::Playing);
    ASSERT_EQ(recorder.changes.size(), 1);
    EXPECT_EQ(recorder.changes[0].keys(), QStringList{"PlaybackStatus"});

    call(Player, "Next"); // opens another track
    engine.duration = "03:00";
    engineChanges(PlayState::Playing);
    ASSERT_EQ(recorder.changes.size(), 3);
    EXPECT_EQ(recorder.changes[1].keys(), QStringList{"Metadata"});
    const auto told = qdbus_cast<QVariantMap>(recorder.changes[2].value("Metadata"));
    EXPECT_EQ(told.value("mpris:length").toLongLong(), 180'000'000);

    call(Properties, "Set", {Player, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(engine.volume(), 25);
    ASSERT_EQ(recorder.changes.size(), 4);
    EXPECT_EQ(recorder.changes[3].keys(), QStringList{"Volume"});

    form->List2->clear();
    testsupport::runEventLoopFor(50);
    ASSERT_EQ(recorder.changes.size(), 5);
    EXPECT_EQ(recorder.changes[4].keys(), (QStringList{"CanGoNext", "CanGoPrevious"}));
}

TEST_F(Mpris, QuitClosesAsTheWindowDoesAndTheNameIsTheFirstPlayersOnly) {
    MprisService second(*form, engine);
    EXPECT_FALSE(second.registerOn(bus.connect("second")));
    EXPECT_FALSE(second.registerOn(QDBusConnection(QStringLiteral("no bus"))));

    QFile::remove(programFolder.file("data.dat"));
    call(QString::fromUtf16(DesktopIdentity::RootInterface), "Quit");
    EXPECT_TRUE(form->Timer4->isActive()); // the exit fade
    EXPECT_TRUE(QFile::exists(programFolder.file("data.dat")));
}

} // namespace

#include "mpris_test.moc"
