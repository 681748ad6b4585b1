#pragma once

#include "window_services/global_shortcut_service.h"

// Placeholder until this way is written.
class KeyGrabShortcuts : public GlobalShortcutService {
    Q_OBJECT
public:
    explicit KeyGrabShortcuts(QObject* parent = nullptr) : GlobalShortcutService(parent) {}
    void bind(const QList<GlobalShortcut>&) override {
        Q_EMIT unavailable(QStringLiteral("not written yet"));
    }
};
