#include "platform/shortcuts/portal_shortcuts.h"

#include "platform/shortcuts/bus_answer.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QGuiApplication>
#include <functional>

namespace {

// One entry of the portal's a(sa{sv}): a shortcut's id and what the desktop is told of it.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QString portalService() {
    return QStringLiteral("org.freedesktop.portal.Desktop");
}
QString portalPath() {
    return QStringLiteral("/org/freedesktop/portal/desktop");
}
QString shortcutsInterface() {
    return QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
}

// KDE names the binding of a program outside a sandbox after its session's token, in its
// shortcut settings, and finds the user's keys again under it: the token never changes.
QString sessionToken() {
    return QStringLiteral("vellora");
}

QString nextRequestToken() {
    static unsigned count = 0;
    return QStringLiteral("vellora_%1").arg(++count);
}

// How the portal's object paths name the caller: by its unique name without the colon, dots
// as underscores.
QString callerName(const QDBusConnection& bus) {
    return bus.baseService().mid(1).replace(u'.', u'_');
}

QString requestPathOf(const QDBusConnection& bus, const QString& token) {
    return portalPath() + QStringLiteral("/request/") + callerName(bus) + u'/' + token;
}

QString sessionPathOf(const QDBusConnection& bus) {
    return portalPath() + QStringLiteral("/session/") + callerName(bus) + u'/' + sessionToken();
}

} // namespace

PortalShortcuts::PortalShortcuts(const QDBusConnection& bus, QObject* parent)
    : GlobalShortcutService(parent), bus_(bus) {
    // A slot's parameters are found by their type's name, which Qt 6.4 does not know for the
    // object path until it is registered: without it, Activated would never connect.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalShortcuts::~PortalShortcuts() {
    // The desktop keeps the user's keys; only this run's session ends.
    if (!session_.isEmpty())
        bus_.send(QDBusMessage::createMethodCall(portal_, session_,
                                                 QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")));
}

void PortalShortcuts::bind(const QList<GlobalShortcut>& shortcuts) {
    QList<PortalShortcut> forPortal;
    for (const GlobalShortcut& shortcut : shortcuts)
        forPortal.append({shortcut.id,
                          {{QStringLiteral("description"), shortcut.description},
                           {QStringLiteral("preferred_trigger"), shortcut.trigger.portalText()}}});
    shortcuts_ = QVariant::fromValue(forPortal);
    if (!bus_.isConnected()) {
        // Told after bind() returns, as every other answer is.
        QMetaObject::invokeMethod(
            this, [this] { giveUp(QStringLiteral("no session bus")); }, Qt::QueuedConnection);
        return;
    }
    // A program outside a sandbox names itself first, as the portal asks before any other
    // call, so that the desktop shows and keeps its shortcuts under its own name. Portals
    // without the registry answer with an error, which changes nothing.
    const QString appId = QGuiApplication::desktopFileName();
    if (appId.isEmpty()) {
        readVersion();
        return;
    }
    QDBusMessage registration = QDBusMessage::createMethodCall(
        portalService(), portalPath(), QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    registration << appId << QVariantMap();
    whenAnswered(bus_, registration, this, [this](const QDBusMessage&) { readVersion(); });
}

void PortalShortcuts::readVersion() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        portalService(), portalPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << shortcutsInterface() << QStringLiteral("version");
    whenAnswered(bus_, get, this, [this](const QDBusMessage& reply) { versionRead(reply); });
}

void PortalShortcuts::versionRead(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage) {
        giveUp(QStringLiteral("the desktop portal offers no global shortcuts (%1)")
                   .arg(reply.errorMessage()));
        return;
    }
    const QVariant version =
        reply.arguments().isEmpty() ? QVariant() : reply.arguments().constFirst();
    if (version.value<QDBusVariant>().variant().toUInt() == 0) {
        giveUp(QStringLiteral("the desktop portal's global shortcuts have no version"));
        return;
    }
    portal_ = reply.service();
    // Activations may come as soon as the session is there; those of other sessions are
    // dropped as they come.
    if (!bus_.connect(QString(), portalPath(), shortcutsInterface(), QStringLiteral("Activated"),
                      this,
                      SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap,
                                           QDBusMessage)))) {
        giveUp(QStringLiteral("no listening to the desktop portal's shortcuts"));
        return;
    }
    const QString token = nextRequestToken();
    // The shortcuts go with the session too: some backends bind only those given here, and
    // take nothing from BindShortcuts.
    request(QStringLiteral("CreateSession"),
            {QVariantMap{{QStringLiteral("handle_token"), token},
                         {QStringLiteral("session_handle_token"), sessionToken()},
                         {QStringLiteral("shortcuts"), shortcuts_}}},
            token, SLOT(sessionCreated(uint, QVariantMap, QDBusMessage)));
}

void PortalShortcuts::sessionCreated(uint response, const QVariantMap& results,
                                     const QDBusMessage& message) {
    if (message.service() != portal_)
        return;
    stopListening();
    if (response != 0) {
        answer(response, QStringLiteral("a session"));
        return;
    }
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    // Older portals send the handle as a string, newer ones as an object path.
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                    : handle.toString();
    if (session_.isEmpty())
        session_ = sessionPathOf(bus_);
    const QString token = nextRequestToken();
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(session_)), shortcuts_, QString(),
             QVariantMap{{QStringLiteral("handle_token"), token}}},
            token, SLOT(shortcutsBound(uint, QVariantMap, QDBusMessage)));
}

void PortalShortcuts::shortcutsBound(uint response, const QVariantMap&,
                                     const QDBusMessage& message) {
    if (message.service() != portal_)
        return;
    stopListening();
    answer(response, QStringLiteral("the shortcuts"));
}

void PortalShortcuts::portalActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                      const QVariantMap&, const QDBusMessage& message) {
    if (message.service() == portal_ && !session_.isEmpty() && session.path() == session_)
        Q_EMIT activated(id);
}

void PortalShortcuts::request(const QString& method, const QVariantList& arguments,
                              const QString& token, const char* slot) {
    const QString predicted = requestPath_ = requestPathOf(bus_, token);
    requestSlot_ = slot;
    if (!listen()) {
        giveUp(QStringLiteral("no listening to the desktop portal's answer"));
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(portal_, portalPath(), shortcutsInterface(), method);
    call.setArguments(arguments);
    whenAnswered(bus_, call, this, [=, this](const QDBusMessage& reply) {
        // Its Response may have come first, and the next request gone out.
        if (requestSlot_ != slot || requestPath_ != predicted)
            return;
        if (reply.type() != QDBusMessage::ReplyMessage) {
            stopListening();
            giveUp(QStringLiteral("the desktop portal refused %1 (%2)")
                       .arg(method, reply.errorMessage()));
            return;
        }
        // A portal older than the predictable paths names another request object.
        const QString named = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (!named.isEmpty() && named != predicted) {
            stopListening();
            requestPath_ = named;
            requestSlot_ = slot;
            listen();
        }
    });
}

bool PortalShortcuts::listen() {
    return bus_.connect(QString(), requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), this, requestSlot_);
}

void PortalShortcuts::stopListening() {
    if (requestSlot_)
        bus_.disconnect(QString(), requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), this, requestSlot_);
    requestSlot_ = nullptr;
}

void PortalShortcuts::answer(uint response, const QString& step) {
    if (answered_)
        return;
    answered_ = true;
    if (response == 0)
        Q_EMIT bound();
    else if (response == 1)
        Q_EMIT declined(QStringLiteral("the user declined %1 on the desktop portal").arg(step));
    else
        Q_EMIT unavailable(QStringLiteral("the desktop portal did not grant %1 (response %2)")
                               .arg(step)
                               .arg(response));
}

void PortalShortcuts::giveUp(const QString& reason) {
    if (answered_)
        return;
    answered_ = true;
    Q_EMIT unavailable(reason);
}
