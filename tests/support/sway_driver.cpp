#include "support/sway_driver.h"

#include "support/event_wait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

namespace {

QByteArray swaymsgTo(const QString& socket, const QStringList& arguments) {
    QProcess message;
    message.start("swaymsg", QStringList{"-s", socket} + arguments);
    message.waitForFinished();
    return message.readAllStandardOutput();
}

} // namespace

SwayDriver::SwayDriver(const char* prefix, QSize layout, const QString& pointerProgram,
                       const QString& runtime, const QString& home)
    : prefix_(prefix) {
    if (!problem().isEmpty())
        return;
    open(variable("_WAYLAND_DISPLAY"), variable("_DISPLAY"), runtime, home);
    pointer_ = std::make_unique<PointerProgram>(pointerProgram, layout, environment_);
    // Whatever an earlier test left on the first workspace goes.
    swaymsg({"[title=\".*\"] kill"});
    swaymsg({"workspace", "1"});
}

QString SwayDriver::variable(const char* name) const {
    return qEnvironmentVariable((prefix_ + name).constData());
}

QString SwayDriver::problem() const {
    if (variable("_WAYLAND_DISPLAY").isEmpty())
        return "run through scripts/test.sh, which starts a headless sway";
    if (pointer_ && !pointer_->started())
        return "the virtual pointer did not start";
    return {};
}

QImage SwayDriver::screenshot() {
    QProcess grim;
    grim.setProcessEnvironment(environment_);
    grim.start("grim", {"-"});
    grim.waitForFinished();
    return QImage::fromData(grim.readAllStandardOutput()).convertToFormat(QImage::Format_RGB32);
}

void SwayDriver::moveTo(QPoint at, bool overX11) {
    pointer_->moveTo(at);
    // Xwayland hears of the compositor's pointer on its own time; a press before the X server
    // has the pointer where it was moved would go where it was. Within a pixel: Xwayland's
    // coordinates and sway's layout may round apart.
    if (overX11) {
        ASSERT_TRUE(waitUntil([&] { return x11PointerNear(at, 2); }, 20000));
    }
}

std::optional<QPoint> SwayDriver::windowCorner(const QString& title, bool) {
    const QJsonObject tree = QJsonDocument::fromJson(swaymsg({"-t", "get_tree", "-r"})).object();
    std::optional<QPoint> found;
    const std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        if (node.value("name").toString().startsWith(title) && node.contains("pid")) {
            const QJsonObject rect = node.value("rect").toObject();
            const QJsonObject inner = node.value("window_rect").toObject();
            found = QPoint(rect.value("x").toInt() + inner.value("x").toInt(),
                           rect.value("y").toInt() + inner.value("y").toInt());
        }
        for (const char* children : {"nodes", "floating_nodes"})
            for (const QJsonValue& child : node.value(children).toArray())
                walk(child.toObject());
    };
    walk(tree);
    return found;
}

QRect SwayDriver::workArea() {
    const QList<Output> all = outputs();
    return all.isEmpty() ? QRect() : all.first().rect.adjusted(0, 0, 0, -BarHeight);
}

void SwayDriver::close(const QString& title) {
    swaymsg({QString("[title=\"^%1\"] kill").arg(title)});
}

void SwayDriver::targetStarted(QProcess&, const QString& title, bool x11, QPoint) {
    EXPECT_TRUE(waitUntil([&] { return windowCorner(title, x11).has_value(); }, 20000))
        << title.toStdString();
}

QByteArray SwayDriver::swaymsg(const QStringList& arguments) const {
    return swaymsgTo(variable("SOCK"), arguments);
}

QByteArray SwayDriver::outerSwaymsg(const QStringList& arguments) const {
    return swaymsgTo(variable("_OUTERSOCK"), arguments);
}

QList<SwayDriver::Output> SwayDriver::outputs() const {
    QList<Output> found;
    for (const QJsonValue& output :
         QJsonDocument::fromJson(swaymsg({"-t", "get_outputs", "-r"})).array()) {
        const QJsonObject rect = output["rect"].toObject();
        found.append(
            {output["name"].toString(), QRect(rect["x"].toInt(), rect["y"].toInt(),
                                              rect["width"].toInt(), rect["height"].toInt())});
    }
    return found;
}

} // namespace testsupport
