#pragma once

#include <QKeyCombination>
#include <QString>
#include <QStringView>
#include <optional>

// A key with its modifiers that a global shortcut prefers, as vellora.conf writes it in Qt's
// portable form ("Ctrl+Alt+W", "Meta+Shift+PgDown"), and as each desktop's way of binding it
// spells the same key: the desktop portal and X11 by the key's X keysym name, KDE's service
// by Qt's key code.
class ShortcutTrigger {
public:
    // One key with any of Ctrl, Alt, Shift and Meta; nothing for an empty text, a sequence of
    // several keys, a modifier alone, or a key without an X keysym name.
    static std::optional<ShortcutTrigger> parse(QStringView text);

    QKeyCombination combination() const { return combination_; }
    Qt::KeyboardModifiers modifiers() const { return combination_.keyboardModifiers(); }
    // "Ctrl+Alt+W".
    QString text() const;
    // The key's X keysym name: "w", "F5", "Page_Down", "space".
    QString keysymName() const { return keysymName_; }
    // The portal's preferred trigger: its modifier names and the keysym, "CTRL+ALT+w".
    QString portalText() const;

    bool operator==(const ShortcutTrigger&) const = default;

private:
    ShortcutTrigger(QKeyCombination combination, QString keysymName)
        : combination_(combination), keysymName_(std::move(keysymName)) {}

    QKeyCombination combination_;
    QString keysymName_;
};
