#pragma once

#include "window_services/global_shortcut_service.h"
#include <QDBusConnection>

// Placeholder until this way is written.
class PortalShortcuts : public GlobalShortcutService {
    Q_OBJECT
public:
    explicit PortalShortcuts(const QDBusConnection& bus, QObject* parent = nullptr)
        : GlobalShortcutService(parent) {
        (void)bus;
    }
    void bind(const QList<GlobalShortcut>&) override {
        Q_EMIT unavailable(QStringLiteral("not written yet"));
    }
};
