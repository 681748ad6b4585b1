#pragma once

#include "window_services/global_shortcut_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantList>
#include <functional>

// Global shortcuts through KDE's global shortcut service (org.kde.kglobalaccel), spoken to
// over D-Bus. The service keeps each shortcut as an action of the player's component, under
// the key the user last saved for it in KDE's settings; the player's trigger is the action's
// default and the key of an action the service has not met before. Every call is answered on
// the event loop. What the service keeps outlives the program, so the actions are made
// inactive when this goes: their keys are given back and the user's choice stays.
class KGlobalAccelShortcuts : public GlobalShortcutService {
    Q_OBJECT
public:
    explicit KGlobalAccelShortcuts(const QDBusConnection& bus, QObject* parent = nullptr);
    ~KGlobalAccelShortcuts() override;

    void bind(const QList<GlobalShortcut>& shortcuts) override;

private Q_SLOTS:
    void pressed(const QString& component, const QString& action, qlonglong timestamp,
                 const QDBusMessage& message);

private:
    void serviceRunning(const QDBusMessage& reply);
    void serviceActivatable(const QDBusMessage& reply);
    void registerActions();
    void keysGiven(const GlobalShortcut& shortcut, const QDBusMessage& reply);
    void holdersFound(const GlobalShortcut& shortcut, const QDBusMessage& reply);
    QStringList actionId(const GlobalShortcut& shortcut) const;
    QDBusMessage method(const QString& service, const QString& path, const QString& interface,
                        const QString& name, const QVariantList& arguments) const;
    QDBusMessage accelMethod(const QString& name, const QVariantList& arguments) const;
    // Sends the call; its answer, an error included, reaches `answered` on the event loop,
    // unless this has answered bind() with unavailable() meanwhile.
    void ask(const QDBusMessage& call, std::function<void(const QDBusMessage&)> answered);
    void giveUp(const QString& reason);

    QDBusConnection bus_;
    QList<GlobalShortcut> shortcuts_;
    // The service's unique name and the component's object, from the service's own answers:
    // presses are taken from there alone.
    QString service_;
    QString componentPath_;
    QStringList notices_;
    int unanswered_ = 0;
    bool registered_ = false; // actions were sent, and are made inactive on destruction
    bool answered_ = false;
};
