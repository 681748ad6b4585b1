#pragma once

#include "window_services/global_shortcut_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

// Global shortcuts through the desktop portal (org.freedesktop.portal.GlobalShortcuts): a
// session of the player's own, whose shortcuts the desktop binds to whatever keys the user
// gave them there; the trigger asked for is only a preference. Every call waits for its
// answer on the event loop, so a slow or absent portal never holds the window up.
class PortalShortcuts : public GlobalShortcutService {
    Q_OBJECT
public:
    explicit PortalShortcuts(const QDBusConnection& bus, QObject* parent = nullptr);
    ~PortalShortcuts() override;

    void bind(const QList<GlobalShortcut>& shortcuts) override;

private Q_SLOTS:
    void sessionCreated(uint response, const QVariantMap& results, const QDBusMessage& message);
    void shortcutsBound(uint response, const QVariantMap& results, const QDBusMessage& message);
    void portalActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                         const QVariantMap& options, const QDBusMessage& message);

private:
    void readVersion();
    void versionRead(const QDBusMessage& reply);
    // Calls one of the portal's methods that answer through a request object, listening on
    // that object before the call goes, as its Response may come before the call's reply.
    void request(const QString& method, const QVariantList& arguments, const QString& token,
                 const char* slot);
    bool listen();
    void stopListening();
    // The first of bound, unavailable and declined; nothing after it.
    void answer(uint response, const QString& step);
    void giveUp(const QString& reason);

    QDBusConnection bus_;
    // The shortcuts as the portal's a(sa{sv}), for both calls.
    QVariant shortcuts_;
    // The portal's unique name. Signals are taken from it alone, told by their sender rather
    // than by the connection's filter, which would ask the bus who owns the name and wait
    // for the answer.
    QString portal_;
    QString requestPath_;
    const char* requestSlot_ = nullptr;
    QString session_;
    bool answered_ = false;
};
