// The installed-like program's global shortcuts in a KDE Wayland session, through the desktop
// portal as a user meets them: KWin with its shortcut service and the portal with KDE's
// backend, on a session bus of their own (support/kde_portal_session.h; the test script's
// shared KWin runs without global shortcuts). A key typed through KWin's fake input
// (tests/wayland_pointer) reaches the player through the portal, and the player does what the
// shortcut says.
#include "support/compositor_driver.h"
#include "support/desktop_session.h"
#include "support/event_wait.h"
#include "support/kde_portal_session.h"
#include "support/temp_folder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using testsupport::KdePortalSession;

// The codes of the portal's answers to the requests on the bus, overheard whether the portal
// sends them to the caller alone or to all.
class PortalResponses : public QObject {
    Q_OBJECT
public:
    explicit PortalResponses(QDBusConnection bus) {
        bus.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "AddMatch")
                 << QString("type='signal',eavesdrop='true',member='Response'"));
        connected = bus.connect({}, {}, "org.freedesktop.portal.Request", "Response", this,
                                SLOT(heard(QDBusMessage)));
    }
    bool connected;
    QList<uint> codes;

public Q_SLOTS:
    void heard(const QDBusMessage& message) { codes << message.arguments().value(0).toUInt(); }
};

class GlobalShortcutsOnKde : public ::testing::Test {
protected:
    void TearDown() override { testsupport::end(player.get()); }

    TempFolder home;
    std::unique_ptr<QProcess> player;
};

// Ctrl+Alt+K, the lock's default, asked for in the portal's spelling and bound by KDE to
// that key, locks the desktop lyric.
TEST_F(GlobalShortcutsOnKde, TheLockShortcutLocksTheDesktopLyricThroughThePortal) {
    const KdePortalSession session(home.path());
    if (session.lacksPrograms())
        GTEST_SKIP() << session.problem().toStdString();
    ASSERT_TRUE(session.problem().isEmpty()) << session.problem().toStdString();
    const testsupport::RememberedSettings settings(VELLORA_PROGRAM, "lock_desktop_lyric=no\n");
    const QString conf = QFileInfo(VELLORA_PROGRAM).dir().filePath("data/system/vellora.conf");
    PortalResponses portal(
        QDBusConnection::connectToBus(session.busAddress(), "global-shortcuts-test"));
    ASSERT_TRUE(portal.connected);

    player = testsupport::launch(VELLORA_PROGRAM, {}, session.environment(), home.path());
    // The session made and the shortcuts bound; no other way is tried after the portal's.
    ASSERT_TRUE(testsupport::waitUntil([&] { return portal.codes.size() >= 2; }, 60000))
        << player->readAllStandardError().toStdString();
    EXPECT_EQ(portal.codes, (QList<uint>{0, 0}));
    testsupport::PointerProgram keyboard(
        WAYLAND_POINTER, QSize(KdePortalSession::ScreenWidth, KdePortalSession::ScreenHeight),
        session.environment());
    keyboard.point("key 29 56 37"); // Ctrl, Alt and K by their Linux input codes
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            QFile file(conf);
            const QByteArrayList lines =
                file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList();
            return std::any_of(lines.begin(), lines.end(), [](const QByteArray& line) {
                return line.trimmed() == "lock_desktop_lyric=yes";
            });
        },
        20000))
        << player->readAllStandardError().toStdString();
}

} // namespace

#include "global_shortcuts_kwin_test.moc"
