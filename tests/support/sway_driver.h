#pragma once

#include "support/compositor_driver.h"
#include "support/event_wait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSize>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// sway (wlroots) as the test script starts it: named in VELLORA_SWAY_WAYLAND_DISPLAY,
// VELLORA_SWAY_DISPLAY and VELLORA_SWAYSOCK (or, for the one with outputs that come and go,
// VELLORA_NESTED_SWAY_*), a bar 30 pixels high at the bottom of each output, its virtual
// pointer driven by tests/wayland_pointer, screenshots from grim, places from its tree.
class SwayDriver : public CompositorDriver {
public:
    static constexpr int BarHeight = 30;

    // prefix: VELLORA_SWAY or VELLORA_NESTED_SWAY; layout: all outputs together, as the pointer
    // reaches them.
    SwayDriver(const char* prefix, QSize layout, const QString& pointerProgram,
               const QString& runtime, const QString& home)
        : prefix_(prefix) {
        if (!problem().isEmpty())
            return;
        open(variable("_WAYLAND_DISPLAY"), variable("_DISPLAY"), runtime, home);
        pointer_ = std::make_unique<PointerProgram>(pointerProgram, layout, environment_);
        // Within a pixel: Xwayland's coordinates and sway's layout may round apart.
        x11Slack_ = 2;
        // Whatever an earlier test left on the first workspace goes.
        swaymsg({"[title=\".*\"] kill"});
        swaymsg({"workspace", "1"});
    }

    QString problem() const override {
        if (variable("_WAYLAND_DISPLAY").isEmpty())
            return "run through scripts/test.sh, which starts a headless sway";
        return pointer_ && !pointer_->started() ? "the virtual pointer did not start" : "";
    }
    QImage screenshot() override {
        QProcess grim;
        grim.setProcessEnvironment(environment_);
        grim.start("grim", {"-"});
        grim.waitForFinished();
        return QImage::fromData(grim.readAllStandardOutput()).convertToFormat(QImage::Format_RGB32);
    }
    std::optional<QPoint> windowCorner(const QString& title, bool) override {
        const QJsonObject tree =
            QJsonDocument::fromJson(swaymsg({"-t", "get_tree", "-r"})).object();
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
    QRect workArea() override {
        const QList<Output> all = outputs();
        return all.isEmpty() ? QRect() : all.first().rect.adjusted(0, 0, 0, -BarHeight);
    }
    void close(const QString& title) override {
        swaymsg({QString("[title=\"^%1\"] kill").arg(title)});
    }
    void targetStarted(QProcess&, const QString& title, bool x11, QPoint) override {
        EXPECT_TRUE(waitUntil([&] { return windowCorner(title, x11).has_value(); }, 20000))
            << title.toStdString();
    }

    QByteArray swaymsg(const QStringList& arguments) const {
        return swaymsgTo(variable("SOCK"), arguments);
    }
    // To the sway whose outputs the nested one's are.
    QByteArray outerSwaymsg(const QStringList& arguments) const {
        return swaymsgTo(variable("_OUTERSOCK"), arguments);
    }
    struct Output {
        QString name;
        QRect rect;
    };
    QList<Output> outputs() const {
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

private:
    static QByteArray swaymsgTo(const QString& socket, const QStringList& arguments) {
        QProcess message;
        message.start("swaymsg", QStringList{"-s", socket} + arguments);
        message.waitForFinished();
        return message.readAllStandardOutput();
    }
    QString variable(const char* name) const {
        return qEnvironmentVariable((prefix_ + name).constData());
    }

    QByteArray prefix_;
};

} // namespace testsupport
