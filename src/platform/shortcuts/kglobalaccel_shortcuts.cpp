#include "platform/shortcuts/kglobalaccel_shortcuts.h"

#include "platform/shortcuts/bus_answer.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <algorithm>

namespace {

QString accelService() {
    return QStringLiteral("org.kde.kglobalaccel");
}
QString componentInterface() {
    return QStringLiteral("org.kde.kglobalaccel.Component");
}
QString componentName() {
    return QStringLiteral("vellora");
}

// setShortcut's flags. Without NoAutoloading, an action the service already keeps answers
// with the key saved for it, so a key the user chose in KDE's settings wins over the
// player's; SetPresent makes the action one that can be pressed now.
enum SetShortcutFlag : uint { SetPresent = 2, IsDefault = 8 };

// How long the program's end waits for the service to let the keys go.
constexpr int GoodbyeTimeoutMs = 1000;

} // namespace

KGlobalAccelShortcuts::KGlobalAccelShortcuts(const QDBusConnection& bus, QObject* parent)
    : GlobalShortcutService(parent), bus_(bus) {}

KGlobalAccelShortcuts::~KGlobalAccelShortcuts() {
    bus_.disconnect(QString(), QString(), componentInterface(),
                    QStringLiteral("globalShortcutPressed"), this,
                    SLOT(pressed(QString, QString, qlonglong, QDBusMessage)));
    if (!registered_ || shortcuts_.isEmpty())
        return;
    // An action left active would keep its key grabbed for a program that is gone. Sent
    // messages go out from Qt's bus thread, which the program's end may not wait for: the
    // last call waits for its answer, and the service answers in the order it was asked.
    for (qsizetype i = 0; i < shortcuts_.size(); ++i) {
        QDBusMessage call = accelMethod(QStringLiteral("setInactive"), {actionId(shortcuts_[i])});
        call.setAutoStartService(false);
        if (i + 1 < shortcuts_.size())
            bus_.send(call);
        else
            bus_.call(call, QDBus::Block, GoodbyeTimeoutMs);
    }
}

void KGlobalAccelShortcuts::bind(const QList<GlobalShortcut>& shortcuts) {
    shortcuts_ = shortcuts;
    if (!bus_.isConnected()) {
        giveUp(QStringLiteral("KDE's global shortcuts: no session bus"));
        return;
    }
    // Listened for before anything is asked, so the match is in place before any action can
    // be pressed. Not by the service's well-known name, which Qt would look up while the
    // window waits: the sender and the object are checked as each press arrives.
    bus_.connect(QString(), QString(), componentInterface(),
                 QStringLiteral("globalShortcutPressed"), this,
                 SLOT(pressed(QString, QString, qlonglong, QDBusMessage)));
    ask(method(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
               QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"),
               {accelService()}),
        [this](const QDBusMessage& reply) { serviceRunning(reply); });
}

void KGlobalAccelShortcuts::serviceRunning(const QDBusMessage& reply) {
    if (reply.arguments().value(0).toBool()) {
        registerActions();
        return;
    }
    // Started on demand only inside KDE: elsewhere an installed service would hold the keys
    // for a desktop that never shows them, and outlive the player.
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    if (!desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive)) {
        giveUp(QStringLiteral("KDE's global shortcut service does not run"));
        return;
    }
    ask(method(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
               QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"), {}),
        [this](const QDBusMessage& listed) { serviceActivatable(listed); });
}

void KGlobalAccelShortcuts::serviceActivatable(const QDBusMessage& reply) {
    // The first call starts it.
    if (reply.arguments().value(0).toStringList().contains(accelService()))
        registerActions();
    else
        giveUp(QStringLiteral("KDE's global shortcut service is not on the session bus"));
}

// Everything at once: the service handles one client's calls in the order they were sent.
void KGlobalAccelShortcuts::registerActions() {
    registered_ = true;
    for (const GlobalShortcut& shortcut : std::as_const(shortcuts_)) {
        const QStringList id = actionId(shortcut);
        const QVariant keys =
            QVariant::fromValue(QList<int>{shortcut.trigger.combination().toCombined()});
        ask(accelMethod(QStringLiteral("doRegister"), {id}), {});
        ask(accelMethod(QStringLiteral("setShortcut"), {id, keys, uint(IsDefault)}), {});
        ask(accelMethod(QStringLiteral("setShortcut"), {id, keys, uint(SetPresent)}),
            [this, shortcut](const QDBusMessage& reply) { keysGiven(shortcut, reply); });
    }
    if (shortcuts_.isEmpty())
        return;
    ask(accelMethod(QStringLiteral("getComponent"), {componentName()}),
        [this](const QDBusMessage& reply) {
            service_ = reply.service();
            componentPath_ = qdbus_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
        });
}

// The keys the action has now; a key the service took for another action comes back as 0.
void KGlobalAccelShortcuts::keysGiven(const GlobalShortcut& shortcut, const QDBusMessage& reply) {
    const QList<int> keys = qdbus_cast<QList<int>>(reply.arguments().value(0));
    if (std::any_of(keys.begin(), keys.end(), [](int key) { return key != 0; }))
        return;
    ask(accelMethod(QStringLiteral("getGlobalShortcutsByKey"),
                    {shortcut.trigger.combination().toCombined()}),
        [this, shortcut](const QDBusMessage& holders) { holdersFound(shortcut, holders); });
}

// Who has the key the shortcut wanted; none: the user left the action without a key.
void KGlobalAccelShortcuts::holdersFound(const GlobalShortcut& shortcut,
                                         const QDBusMessage& reply) {
    const QDBusArgument found = reply.arguments().value(0).value<QDBusArgument>();
    QStringList holders;
    found.beginArray();
    while (!found.atEnd()) {
        QString action, actionName, component, componentFriendly, context, contextName;
        QList<int> keys, defaultKeys;
        found.beginStructure();
        found >> action >> actionName >> component >> componentFriendly >> context >> contextName >>
            keys >> defaultKeys;
        found.endStructure();
        if (component != componentName() || action != shortcut.id)
            holders << QStringLiteral("%1: %2").arg(componentFriendly, actionName);
    }
    found.endArray();
    if (holders.isEmpty())
        return;
    notices_ << QString::fromUtf16(u"全局快捷键 %1（%2）已被 %3 占用 the key %1 for %2 is taken by "
                                   u"%3; KDE's shortcut settings can give it another")
                    .arg(shortcut.trigger.text(), shortcut.description, holders.join(u", "));
}

void KGlobalAccelShortcuts::pressed(const QString& component, const QString& action, qlonglong,
                                    const QDBusMessage& message) {
    if (service_.isEmpty() || message.service() != service_ || message.path() != componentPath_ ||
        component != componentName())
        return;
    for (const GlobalShortcut& shortcut : std::as_const(shortcuts_)) {
        if (shortcut.id == action) {
            Q_EMIT activated(action);
            return;
        }
    }
}

QStringList KGlobalAccelShortcuts::actionId(const GlobalShortcut& shortcut) const {
    return {componentName(), shortcut.id, QStringLiteral("Vellora"), shortcut.description};
}

QDBusMessage KGlobalAccelShortcuts::method(const QString& service, const QString& path,
                                           const QString& interface, const QString& name,
                                           const QVariantList& arguments) const {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, name);
    call.setArguments(arguments);
    return call;
}

QDBusMessage KGlobalAccelShortcuts::accelMethod(const QString& name,
                                                const QVariantList& arguments) const {
    return method(accelService(), QStringLiteral("/kglobalaccel"),
                  QStringLiteral("org.kde.KGlobalAccel"), name, arguments);
}

void KGlobalAccelShortcuts::ask(const QDBusMessage& call,
                                std::function<void(const QDBusMessage&)> answered) {
    ++unanswered_;
    whenAnswered(bus_, call, this,
                 [this, answered = std::move(answered)](const QDBusMessage& reply) {
                     --unanswered_;
                     if (answered_)
                         return;
                     if (reply.type() == QDBusMessage::ErrorMessage) {
                         giveUp(QStringLiteral("KDE's global shortcuts: ") + reply.errorMessage());
                         return;
                     }
                     if (answered)
                         answered(reply);
                     // The answer's own questions were asked before this count was looked at.
                     if (unanswered_ == 0 && !answered_) {
                         answered_ = true;
                         for (const QString& text : std::as_const(notices_))
                             Q_EMIT notice(text);
                         Q_EMIT bound();
                     }
                 });
}

void KGlobalAccelShortcuts::giveUp(const QString& reason) {
    if (answered_)
        return;
    answered_ = true;
    Q_EMIT unavailable(reason);
}
