#pragma once

#include "window_services/shortcut_trigger.h"

#include <QList>
#include <QObject>
#include <QString>

// A shortcut the player asks the desktop for: pressed anywhere, it reaches the player.
struct GlobalShortcut {
    QString id;          // stable: the desktop keeps the user's binding under it
    QString description; // what the desktop shows the user beside the binding
    ShortcutTrigger trigger;
};

// One way of getting global shortcuts from the desktop: its portal, KDE's service, or grabs
// of the keys on X11. bind() is called once; the way answers with exactly one of bound(),
// unavailable() or declined(), then with activated() for each press. It gives the keys back
// when it is destroyed.
class GlobalShortcutService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void bind(const QList<GlobalShortcut>& shortcuts) = 0;

Q_SIGNALS:
    // The shortcuts are bound; some may still be taken by another program, as told by notice().
    void bound();
    // This way does not work here; the next one may.
    void unavailable(const QString& reason);
    // The user said no, when asked by the desktop: no other way is tried.
    void declined(const QString& reason);
    void activated(const QString& id);
    // Something the user should read once on standard error, such as a key that another
    // program holds.
    void notice(const QString& text);
};
