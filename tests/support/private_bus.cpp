#include "support/private_bus.h"

#include "support/event_wait.h"

PrivateBus::PrivateBus() {
    // The session bus's own settings, less the folders of services it would start.
    folder_.write("bus.conf", QString(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                                  .arg(folder_.file("bus"))
                                  .toUtf8());
    // The address is printed once the bus takes connections; the socket's file comes
    // before that.
    daemon_.start("dbus-daemon", {"--config-file=" + folder_.file("bus.conf"), "--nofork",
                                  "--nopidfile", "--print-address=1"});
    testsupport::waitUntil(
        [&] { return daemon_.canReadLine() || daemon_.state() == QProcess::NotRunning; }, 20000);
    if (!daemon_.canReadLine())
        problem_ = "no dbus-daemon: " + QString::fromLocal8Bit(daemon_.readAllStandardError());
}

PrivateBus::~PrivateBus() {
    // Named connections outlive their objects; the next bus must not get this one's.
    for (const QString& name : connections_)
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000))
        daemon_.kill();
    daemon_.waitForFinished(3000);
}

QDBusConnection PrivateBus::connect(const QString& name) const {
    connections_.append(name);
    return QDBusConnection::connectToBus(address(), name);
}
