#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

// A session bus of the test's own: a dbus-daemon started for it and ended with it, so no
// test meets a player of the user's or of another test.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    QString address() const { return address_; }
    // A connection of its own under this name, as another program would have.
    QDBusConnection connect(const QString& name) const;

private:
    QProcess daemon_;
    QString address_;
    mutable QStringList connections_;
};
