#include "desktop_integration/single_instance.h"

#include "desktop_integration/desktop_identity.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace SingleInstance {

namespace {

// The running player answers from its event loop; a folder of thousands of files is
// listed after the answer, so only a hung player takes this long.
inline constexpr int AnswerTimeoutMs = 5000;

} // namespace

HandOver handOver(const QDBusConnection& bus, const QStringList& paths, QString* refusal) {
    if (!bus.isConnected())
        return HandOver::NoRunningPlayer;
    const QString service = QString::fromUtf16(DesktopIdentity::BusName);
    const QString path = QString::fromUtf16(DesktopIdentity::ObjectPath);
    QDBusMessage call =
        paths.isEmpty()
            ? QDBusMessage::createMethodCall(service, path,
                                             QString::fromUtf16(DesktopIdentity::RootInterface),
                                             QStringLiteral("Raise"))
            : QDBusMessage::createMethodCall(service, path,
                                             QString::fromUtf16(DesktopIdentity::FilesInterface),
                                             QStringLiteral("Open"));
    if (!paths.isEmpty())
        call << paths;
    // Only a player that already runs may answer; the bus must not start one.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, AnswerTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return HandOver::HandedOver;
    const QString error = reply.errorName();
    if (error == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
        error == u"org.freedesktop.DBus.Error.NameHasNoOwner")
        return HandOver::NoRunningPlayer;
    if (error == u"org.freedesktop.DBus.Error.InvalidArgs") {
        if (refusal)
            *refusal = reply.errorMessage();
        return HandOver::Refused;
    }
    return HandOver::NoAnswer;
}

} // namespace SingleInstance
