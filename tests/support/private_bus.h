#pragma once

#include "support/temp_folder.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

// A session bus of the test's own: a dbus-daemon started for it and ended with it, so no
// test meets a player of the user's or of another test. It starts no service by itself:
// what answers on it is what the test runs, never a program the system would start for a
// name (the desktop portal is one, and would answer in place of the test's).
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return problem_.isEmpty(); }
    // Empty while the bus runs; else why it does not.
    QString problem() const { return problem_; }
    QString address() const { return "unix:path=" + folder_.file("bus"); }
    // A connection of its own under this name, as another program would have.
    QDBusConnection connect(const QString& name) const;

private:
    TempFolder folder_;
    QProcess daemon_;
    QString problem_;
    mutable QStringList connections_;
};
