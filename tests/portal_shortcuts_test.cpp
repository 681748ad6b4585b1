// The desktop portal's way of global shortcuts against a portal of the test's own on a bare
// bus (none the system would start answers there), for the answers a real portal does not give
// here: none at all, no shortcuts, a session refused or declined, and a working one whose
// activations and close are checked. The real portal is met in global_shortcuts_kwin_test.cpp.
#include "platform/shortcuts/portal_shortcuts.h"

#include "support/event_wait.h"
#include "support/private_bus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

using testsupport::waitUntil;

// org.freedesktop.portal.Desktop as far as global shortcuts go, answering each request with
// the response it is given; a Response goes out before the call's reply, as a portal may
// send it, so that only a caller listening before it calls hears it.
class FakePortal : public QDBusVirtualObject {
public:
    static constexpr auto Path = "/org/freedesktop/portal/desktop";

    std::optional<uint> version = 1; // none: no GlobalShortcuts interface
    bool registry = false;           // the host registry of newer portals
    uint sessionResponse = 0;
    uint bindResponse = 0;

    QStringList sessionShortcuts; // "id=preferred trigger" as CreateSession was given them
    QStringList boundShortcuts;   // and BindShortcuts
    QString session;
    QStringList closed;
    QStringList calls; // the methods called, in order, with a registration's app id

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        calls << member;
        if (member == "Register" && registry) {
            calls.last() += ' ' + arguments.value(0).toString();
            bus.send(message.createReply());
        } else if (member == "Get") {
            bus.send(version ? message.createReply(QVariant::fromValue(QDBusVariant(*version)))
                             : message.createErrorReply(QDBusError::UnknownInterface, "none"));
        } else if (member == "CreateSession") {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.value(0));
            sessionShortcuts = shortcuts(options.value("shortcuts"));
            session = QString(Path) + "/session/" + sender(message) + "/" +
                      options.value("session_handle_token").toString();
            respond(message, bus, options, sessionResponse, {{"session_handle", session}});
        } else if (member == "BindShortcuts") {
            boundShortcuts = shortcuts(arguments.value(1));
            respond(message, bus, qdbus_cast<QVariantMap>(arguments.value(3)), bindResponse, {});
        } else if (member == "Close") {
            closed << message.path();
            bus.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

    void activate(const QDBusConnection& bus, const QString& inSession, const QString& id) {
        QDBusMessage signal =
            QDBusMessage::createSignal(Path, "org.freedesktop.portal.GlobalShortcuts", "Activated");
        signal << QVariant::fromValue(QDBusObjectPath(inSession)) << id << qulonglong(0)
               << QVariantMap();
        bus.send(signal);
    }

private:
    static QString sender(const QDBusMessage& message) {
        return message.service().mid(1).replace('.', '_');
    }
    static QStringList shortcuts(const QVariant& list) {
        QStringList read;
        const QDBusArgument argument = list.value<QDBusArgument>();
        argument.beginArray();
        while (!argument.atEnd()) {
            QString id;
            QVariantMap properties;
            argument.beginStructure();
            argument >> id >> properties;
            argument.endStructure();
            read << id + "=" + properties.value("preferred_trigger").toString();
        }
        argument.endArray();
        return read;
    }
    void respond(const QDBusMessage& message, const QDBusConnection& bus,
                 const QVariantMap& options, uint response, const QVariantMap& results) {
        const QString request = QString(Path) + "/request/" + sender(message) + "/" +
                                options.value("handle_token").toString();
        QDBusMessage signal =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        signal << response << results;
        bus.send(signal);
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
    }
};

// What the way said, in order.
struct Answers {
    explicit Answers(GlobalShortcutService& way) {
        QObject::connect(&way, &GlobalShortcutService::bound, [this] { said << "bound"; });
        QObject::connect(&way, &GlobalShortcutService::unavailable,
                         [this](const QString&) { said << "unavailable"; });
        QObject::connect(&way, &GlobalShortcutService::declined,
                         [this](const QString&) { said << "declined"; });
        QObject::connect(&way, &GlobalShortcutService::activated,
                         [this](const QString& id) { activated << id; });
    }
    QStringList said;
    QStringList activated;
};

const QList<GlobalShortcut> Shortcuts{
    {"lock-desktop-lyric", "锁定/解锁桌面歌词", *ShortcutTrigger::parse(u"Ctrl+Alt+K")},
    {"next", "下一首", *ShortcutTrigger::parse(u"Meta+Shift+PgDown")},
};

TEST(PortalShortcuts, AnswersOnceAsThePortalDoesAndHearsOnlyItsOwnSession) {
    struct Row {
        const char* name;
        bool portal;
        std::optional<uint> version;
        uint sessionResponse;
        uint bindResponse;
        const char* answer;
        const char* appId = ""; // the program's desktop file name
        bool registry = false;
    };
    const Row rows[] = {
        {"no portal on the bus", false, 1, 0, 0, "unavailable"},
        {"a portal without global shortcuts", true, std::nullopt, 0, 0, "unavailable"},
        {"global shortcuts of version 0", true, 0, 0, 0, "unavailable"},
        {"the session refused", true, 1, 2, 0, "unavailable"},
        {"the session declined by the user", true, 1, 1, 0, "declined"},
        {"the shortcuts declined by the user", true, 1, 0, 1, "declined"},
        {"the shortcuts refused", true, 1, 0, 2, "unavailable"},
        {"a working portal", true, 1, 0, 0, "bound"},
        {"a portal older than the registry", true, 1, 0, 0, "bound", "io.github.vellora.Vellora"},
        {"a portal with the registry", true, 1, 0, 0, "bound", "io.github.vellora.Vellora", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PrivateBus bus;
        ASSERT_TRUE(bus.problem().isEmpty()) << bus.problem().toStdString();
        QDBusConnection portalBus = bus.connect("portal");
        FakePortal portal;
        portal.version = row.version;
        portal.sessionResponse = row.sessionResponse;
        portal.bindResponse = row.bindResponse;
        portal.registry = row.registry;
        QGuiApplication::setDesktopFileName(row.appId);
        if (row.portal) {
            ASSERT_TRUE(portalBus.registerVirtualObject(FakePortal::Path, &portal,
                                                        QDBusConnection::SubPath));
            ASSERT_TRUE(portalBus.registerService("org.freedesktop.portal.Desktop"));
        }
        auto way = std::make_unique<PortalShortcuts>(bus.connect("player"));
        Answers answers(*way);
        way->bind(Shortcuts);
        ASSERT_TRUE(waitUntil([&] { return !answers.said.isEmpty(); }));
        EXPECT_EQ(answers.said.join(' ').toStdString(), row.answer);
        if (QByteArray(row.answer) != "bound")
            continue;
        // A program that has a name gives it before anything else is asked.
        const std::string first = !*row.appId    ? "Get"
                                  : row.registry ? std::string("Register ") + row.appId
                                                 : "Register";
        EXPECT_EQ(portal.calls.value(0).toStdString(), first);

        // The preferred triggers in the portal's spelling, with the session too, for
        // backends that bind only what comes with it.
        const char* const asked = "lock-desktop-lyric=CTRL+ALT+k next=SHIFT+LOGO+Page_Down";
        EXPECT_EQ(portal.sessionShortcuts.join(' ').toStdString(), asked);
        EXPECT_EQ(portal.boundShortcuts.join(' ').toStdString(), asked);
        EXPECT_TRUE(portal.session.endsWith("/vellora")) << portal.session.toStdString();
        // Signals from one sender come in order: had another session's activation been taken,
        // it would be heard first.
        portal.activate(portalBus, portal.session + "x", "next");
        portal.activate(portalBus, portal.session, "lock-desktop-lyric");
        ASSERT_TRUE(waitUntil([&] { return !answers.activated.isEmpty(); }));
        EXPECT_EQ(answers.activated.join(' ').toStdString(), "lock-desktop-lyric");

        way.reset();
        EXPECT_TRUE(waitUntil([&] { return portal.closed == QStringList{portal.session}; }));
    }
}

} // namespace
