#pragma once

#include "window_services/global_shortcut_service.h"

#include <QAbstractNativeEventFilter>
#include <memory>

// Global shortcuts as grabs of their keys on the X server's root window, where the program is
// an X11 client and no desktop service binds them. Each key is grabbed with Caps Lock and Num
// Lock in every state, so neither lock stops it; a key another client holds is told once and
// left, and the other shortcuts work on. The keys are let go when this goes.
class KeyGrabShortcuts final : public GlobalShortcutService, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit KeyGrabShortcuts(QObject* parent = nullptr);
    ~KeyGrabShortcuts() override;

    void bind(const QList<GlobalShortcut>& shortcuts) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void grabAll();

    struct Grabs;
    std::unique_ptr<Grabs> grabs_;
};
