// The program installed into a temporary prefix and started as the desktop starts it:
// real processes on this X server, with a session bus of the test's own.
#include "support/event_wait.h"
#include "support/generated_audio.h"
#include "support/generated_media.h"
#include "support/private_bus.h"
#include "support/temp_folder.h"
#include "support/x11_client.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace {

const QString BusName = QStringLiteral("org.mpris.MediaPlayer2.vellora");
const QString AppId = QStringLiteral("io.github.vellora.Vellora");

class InstalledPlayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new TempFolder;
        installed_ = QProcess::execute(VELLORA_CMAKE, {"--install", VELLORA_BUILD_DIR, "--prefix",
                                                       prefix_->path()}) == 0;
    }
    static void TearDownTestSuite() { delete prefix_; }

    void SetUp() override {
        ASSERT_TRUE(installed_);
        ASSERT_TRUE(bus.isRunning());
        QFile::remove(bin() + "/data.dat");
        QFile::remove(bin() + "/data/system/vellora.conf");
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            music.write(name, "x");
    }
    static QString bin() { return prefix_->file("bin"); }
    // A file the installation put somewhere under its prefix.
    static QString installed(const QString& name) {
        QDirIterator found(prefix_->path(), {name}, QDir::Files, QDirIterator::Subdirectories);
        return found.hasNext() ? found.next() : QString();
    }

    std::unique_ptr<QProcess>
    start(const QStringList& arguments, bool withBus = true,
          QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        auto player = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS",
                           withBus ? bus.address() : "unix:path=" + home.file("no-bus"));
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", home.file("xdg"));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        player->setProcessEnvironment(environment);
        player->setWorkingDirectory(music.path());
        player->setProcessChannelMode(channels);
        player->setStandardOutputFile(QProcess::nullDevice());
        player->start(bin() + "/vellora", arguments);
        return player;
    }
    // A start that ends by itself: --help, or one that hands its files over.
    int run(const QStringList& arguments) {
        const auto player = start(arguments);
        return player->waitForFinished(15000) ? player->exitCode() : -1;
    }
    bool onTheBus() { return client.interface()->isServiceRegistered(BusName); }
    // Whether the program with that process id shows its main window.
    bool windowShown(qint64 pid) const {
        const QList<testsupport::X11Client::Window> shown = x.windows("Vellora");
        return std::any_of(shown.begin(), shown.end(), [&](const auto& window) {
            return x.words(window.id, "_NET_WM_PID").value(0) == pid;
        });
    }
    QString playingUrl() { return metadata().value("xesam:url").toString(); }
    QVariantMap metadata() { return qdbus_cast<QVariantMap>(playerProperty("Metadata")); }
    QString playbackStatus() { return playerProperty("PlaybackStatus").toString(); }
    QVariant playerProperty(const char* name) {
        return property(BusName, "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player", name);
    }
    QVariant property(const QString& service, const QString& path, const QString& interface,
                      const char* name) {
        QDBusMessage get =
            QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
        get << interface << QString::fromLatin1(name);
        // The player may ask the test's own objects (a tray's watcher) before it answers.
        return client.call(get, QDBus::BlockWithGui)
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant();
    }
    static QString url(const QString& path) {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }
    void quit(QProcess& player) {
        client.call(QDBusMessage::createMethodCall(BusName, "/org/mpris/MediaPlayer2",
                                                   "org.mpris.MediaPlayer2", "Quit"));
        ASSERT_TRUE(player.waitForFinished(15000));
        EXPECT_EQ(player.exitCode(), 0);
    }

    static TempFolder* prefix_;
    static bool installed_;
    PrivateBus bus;
    QDBusConnection client = bus.connect("client");
    TempFolder home;
    TempFolder music;
    testsupport::X11Client x;
};

TempFolder* InstalledPlayer::prefix_ = nullptr;
bool InstalledPlayer::installed_ = false;

TEST_F(InstalledPlayer, InstallsItsDesktopFilesAndStartsItsWindowAndCloses) {
    const QString share = prefix_->file("share");
    EXPECT_TRUE(QFile::exists(share + "/applications/" + AppId + ".desktop"));
    EXPECT_TRUE(QFile::exists(share + "/metainfo/" + AppId + ".metainfo.xml"));
    for (const int size : {16, 32, 48, 256})
        EXPECT_EQ(
            QImage(share + QStringLiteral("/icons/hicolor/%1x%1/apps/").arg(size) + AppId + ".png")
                .size(),
            QSize(size, size));
    EXPECT_EQ(run({"--help"}), 0);

    const auto player = start({}, false); // no session bus: it runs all the same
    ASSERT_TRUE(testsupport::waitUntil([&] { return windowShown(player->processId()); }, 20000));
    player->terminate(); // a polite end, answered like closing the window
    ASSERT_TRUE(player->waitForFinished(15000));
    EXPECT_EQ(player->exitCode(), 0);
    EXPECT_TRUE(QFile::exists(bin() + "/data.dat")); // a writable program folder keeps it
}

TEST_F(InstalledPlayer, ASecondStartHandsItsFilesToTheRunningPlayer) {
    const auto first = start({"a.mp3", "b.mp3"});
    ASSERT_TRUE(testsupport::waitUntil([&] { return onTheBus(); }, 20000));
    ASSERT_TRUE(testsupport::waitUntil([&] { return playingUrl() == url(music.file("a.mp3")); }));

    EXPECT_EQ(run({"c.mp3"}), 0);
    EXPECT_TRUE(testsupport::waitUntil([&] { return playingUrl() == url(music.file("c.mp3")); }));
    EXPECT_EQ(run({}), 0); // raises the running window
    EXPECT_EQ(first->state(), QProcess::Running);

    quit(*first);
    TempFolder reader;
    QFile::copy(bin() + "/data.dat", reader.file("data.dat"));
    EXPECT_EQ(reader.read("data.dat"), "3\r\n" + music.file("a.mp3").toUtf8() + "\r\n" +
                                           music.file("b.mp3").toUtf8() + "\r\n" +
                                           music.file("c.mp3").toUtf8() + "\r\n");
}

TEST_F(InstalledPlayer, AReadOnlyProgramFolderKeepsThePlaylistInTheUsersDataFolder) {
    const QFile::Permissions writable = QFile::permissions(bin());
    QFile::setPermissions(bin(),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    {
        const auto player = start({"b.mp3"});
        ASSERT_TRUE(testsupport::waitUntil([&] { return onTheBus(); }, 20000));
        quit(*player);
    }
    EXPECT_TRUE(QFile::exists(home.file("xdg/vellora/data.dat")));
    EXPECT_FALSE(QFile::exists(bin() + "/data.dat"));
    {
        const auto player = start({}); // the restored playlist's first entry plays
        ASSERT_TRUE(testsupport::waitUntil([&] { return onTheBus(); }, 20000));
        EXPECT_TRUE(
            testsupport::waitUntil([&] { return playingUrl() == url(music.file("b.mp3")); }));
        quit(*player);
    }
    QFile::setPermissions(bin(), writable);
}

TEST_F(InstalledPlayer, ReadsTagsThroughTheInstalledMediaReaderAndRunsWithoutIt) {
    const QString tagged = music.file("tagged.mp3");
    ASSERT_TRUE(testsupport::writeBareMedia(tagged, testsupport::MediaContainer::Mp3));
    {
        TagLib::MPEG::File file(QFile::encodeName(tagged).constData());
        file.ID3v2Tag(true)->setTitle("Night Ferry");
        ASSERT_TRUE(file.save());
    }
    {
        const auto player = start({"tagged.mp3"});
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return metadata().value("xesam:title").toString() == "Night Ferry"; }, 20000));
        quit(*player);
    }

    // A broken installation: no tags, said once, and the player plays on.
    const QString reader = installed("vellora-media-reader");
    ASSERT_FALSE(reader.isEmpty());
    ASSERT_TRUE(QFile::rename(reader, reader + ".away"));
    const auto player = start({"tagged.mp3"}, true, QProcess::SeparateChannels);
    QByteArray said;
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            said += player->readAllStandardError();
            return said.contains("no tags are read");
        },
        20000))
        << said.constData();
    EXPECT_EQ(metadata().value("xesam:title").toString(), "tagged");
    quit(*player);
    QFile::rename(reader + ".away", reader);
}

// A screen reader reaches the player over AT-SPI on a private accessibility bus: it lists
// the image buttons as push buttons by their names, and pressing "播放" through its press
// action plays with the real engine.
TEST_F(InstalledPlayer, AScreenReaderListsTheButtonsByNameAndPressesPlay) {
    ASSERT_TRUE(testsupport::writeToneWav(music.file("tone.wav"), 20.0));
    QProcessEnvironment onTheBus = QProcessEnvironment::systemEnvironment();
    onTheBus.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    QProcess accessibilityBus;
    accessibilityBus.setProcessEnvironment(onTheBus);
    accessibilityBus.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return client.interface()->isServiceRegistered("org.a11y.Bus"); }, 20000));

    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    const auto player = start({"tone.wav"});
    qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    ASSERT_TRUE(testsupport::waitUntil([&] { return playbackStatus() == "Playing"; }, 20000));
    client.call(QDBusMessage::createMethodCall(BusName, "/org/mpris/MediaPlayer2",
                                               "org.mpris.MediaPlayer2.Player", "Stop"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return playbackStatus() == "Stopped"; }, 20000));

    QProcess reader;
    reader.setProcessEnvironment(onTheBus);
    reader.start("/usr/bin/python3",
                 {QStringLiteral(QT_TESTCASE_SOURCEDIR "/support/atspi_press.py"), "Vellora",
                  QStringLiteral("播放")});
    ASSERT_TRUE(reader.waitForFinished(90000));
    const QString listed = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();
    for (const char* name : {"播放", "暂停", "停止", "上一首", "下一首", "单个音乐文件添加",
                             "删除选中歌曲", "显示桌面歌词"})
        EXPECT_TRUE(listed.contains(QStringLiteral("push button\t") + QString::fromUtf8(name) +
                                    QStringLiteral("\t")))
            << name << "\n"
            << listed.toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return playbackStatus() == "Playing"; }, 20000));
    quit(*player);
    // Asked to end, the launcher takes its bus and the registry down with it.
    accessibilityBus.terminate();
    EXPECT_TRUE(accessibilityBus.waitForFinished(10000));
}

// A tray host as a panel is one: the StatusNotifierWatcher on the session bus, which the
// items register with.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return items_; }
public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { items_ << service; }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    QStringList items_;
};

// The tray icon through a panel's eyes: the item registers, its tooltip names the track
// playing, and its menu, read and clicked over the menu's own interface, pauses the real
// engine, steps to the next track and quits.
TEST_F(InstalledPlayer, TheTrayIconNamesTheTrackAndItsMenuDrivesThePlayer) {
    QDBusConnection panel = bus.connect("panel");
    FakeStatusNotifierWatcher watcher;
    ASSERT_TRUE(panel.registerObject("/StatusNotifierWatcher", &watcher,
                                     QDBusConnection::ExportAllContents));
    ASSERT_TRUE(panel.registerService("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(testsupport::writeToneWav(music.file("晨光.wav"), 30.0));
    ASSERT_TRUE(testsupport::writeToneWav(music.file("dusk.wav"), 30.0));
    const auto player = start({"晨光.wav", "dusk.wav"});
    ASSERT_TRUE(testsupport::waitUntil([&] { return playbackStatus() == "Playing"; }, 20000));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !watcher.items().isEmpty(); }, 20000));
    const QString item = watcher.items().value(0);

    const auto toolTip = [&] {
        const QDBusArgument tip =
            property(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "ToolTip")
                .value<QDBusArgument>();
        QString iconName, title, text;
        tip.beginStructure();
        tip >> iconName;
        tip.beginArray();
        while (!tip.atEnd()) {
            int width, height;
            QByteArray pixels;
            tip.beginStructure();
            tip >> width >> height >> pixels;
            tip.endStructure();
        }
        tip.endArray();
        tip >> title >> text;
        tip.endStructure();
        return title + text;
    };
    EXPECT_TRUE(testsupport::waitUntil([&] { return toolTip().contains("晨光"); }, 20000))
        << toolTip().toStdString();

    // The menu's entries by their labels, each with the id a click names.
    const QString menuPath =
        property(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Menu")
            .value<QDBusObjectPath>()
            .path();
    const auto entries = [&] {
        QDBusMessage layout =
            QDBusMessage::createMethodCall(item, menuPath, "com.canonical.dbusmenu", "GetLayout");
        layout << 0 << -1 << QStringList();
        const QDBusArgument root =
            client.call(layout, QDBus::BlockWithGui).arguments().value(1).value<QDBusArgument>();
        QMap<QString, int> found;
        int id;
        QVariantMap properties;
        root.beginStructure();
        root >> id >> properties;
        root.beginArray();
        while (!root.atEnd()) {
            QDBusVariant child;
            root >> child;
            const QDBusArgument entry = child.variant().value<QDBusArgument>();
            entry.beginStructure();
            entry >> id >> properties;
            entry.endStructure();
            found.insert(properties.value("label").toString(), id);
        }
        root.endArray();
        root.endStructure();
        return found;
    };
    const auto click = [&](const char* label) {
        const QMap<QString, int> listed = entries();
        ASSERT_TRUE(listed.contains(QString::fromUtf8(label))) << label;
        QDBusMessage event =
            QDBusMessage::createMethodCall(item, menuPath, "com.canonical.dbusmenu", "Event");
        event << listed.value(QString::fromUtf8(label)) << QString("clicked")
              << QVariant::fromValue(QDBusVariant(0)) << 0u;
        client.call(event, QDBus::BlockWithGui);
    };
    for (const char* label : {"上一首", "下一首", "桌面歌词", "锁定桌面歌词", "退出"})
        EXPECT_TRUE(entries().contains(QString::fromUtf8(label))) << label;

    // The engine plays for real once the entry reads 暂停.
    ASSERT_TRUE(testsupport::waitUntil([&] { return entries().contains("暂停"); }, 20000));
    click("暂停");
    EXPECT_TRUE(testsupport::waitUntil([&] { return playbackStatus() == "Paused"; }, 20000));
    EXPECT_TRUE(testsupport::waitUntil([&] { return entries().contains("播放"); }, 20000));
    click("下一首");
    EXPECT_TRUE(testsupport::waitUntil([&] { return toolTip().contains("dusk"); }, 20000))
        << toolTip().toStdString();
    click("退出");
    ASSERT_TRUE(player->waitForFinished(15000));
    EXPECT_EQ(player->exitCode(), 0);
}

// Without a StatusNotifierWatcher the icon docks in the X11 system tray, also one that
// comes after the player (a panel that starts later at login): the tray announces itself,
// and the player asks it to dock the icon's window.
TEST_F(InstalledPlayer, TheTrayIconDocksInAnX11SystemTrayThatComesLater) {
    const auto player = start({});
    // The shortcuts' lines are written just before the player looks for a tray.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            QFile settings(bin() + "/data/system/vellora.conf");
            return settings.open(QIODevice::ReadOnly) &&
                   settings.readAll().contains("shortcut_previous=");
        },
        20000));
    const quint32 tray = x.createWindow(QRect(0, 0, 200, 24));
    x.ownSelection("_NET_SYSTEM_TRAY_S0", tray);
    x.sendClientMessage(x.root(), "MANAGER", {0, x.atom("_NET_SYSTEM_TRAY_S0"), tray, 0, 0});
    QList<QList<quint32>> asked;
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            asked += x.clientMessages("_NET_SYSTEM_TRAY_OPCODE");
            return !asked.isEmpty();
        },
        20000));
    const quint32 requestDock = 0;
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked[0][1], requestDock);
    EXPECT_NE(asked[0][2], 0u); // the window to embed
    quit(*player);
    x.destroyWindow(tray);
}

} // namespace

#include "desktop_processes_xvfb_test.moc"
