#pragma once

#include "support/compositor_driver.h"
#include "support/desktop_session.h"
#include "support/event_wait.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace testsupport {

// mutter's pointer through a remote desktop session, which lives as long as the connection
// that made it. Its moves are relative (absolute ones need a screen cast stream); a first move
// far up and left puts it in the corner, from which every place is a known distance away.
class RemotePointer {
public:
    explicit RemotePointer(const QDBusConnection& bus) : bus_(bus) {
        const QDBusMessage made = call("/org/gnome/Mutter/RemoteDesktop",
                                       "org.gnome.Mutter.RemoteDesktop", "CreateSession", {});
        if (made.arguments().isEmpty())
            return;
        session_ = qvariant_cast<QDBusObjectPath>(made.arguments().first()).path();
        started_ = sessionCall("Start", {});
    }
    ~RemotePointer() {
        if (started_)
            sessionCall("Stop", {});
    }
    RemotePointer(const RemotePointer&) = delete;
    RemotePointer& operator=(const RemotePointer&) = delete;

    bool started() const { return started_; }
    void moveTo(QPoint at) {
        if (!position_) {
            sessionCall("NotifyPointerMotionRelative", {-10000.0, -10000.0});
            position_ = QPoint(0, 0);
        }
        const QPoint by = at - *position_;
        sessionCall("NotifyPointerMotionRelative", {double(by.x()), double(by.y())});
        position_ = at;
    }
    void button(bool pressed) { sessionCall("NotifyPointerButton", {BTN_LEFT, pressed}); }

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall("org.gnome.Mutter.RemoteDesktop",
                                                              path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus_.call(message, QDBus::Block, 20000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        return reply;
    }
    bool sessionCall(const QString& method, const QVariantList& arguments) {
        return call(session_, "org.gnome.Mutter.RemoteDesktop.Session", method, arguments).type() ==
               QDBusMessage::ReplyMessage;
    }

    QDBusConnection bus_;
    QString session_;
    bool started_ = false;
    std::optional<QPoint> position_;
};

// GNOME's mutter as a headless Wayland display server with Xwayland, as the test script
// starts it, named in VELLORA_MUTTER_WAYLAND_DISPLAY, VELLORA_MUTTER_DISPLAY,
// VELLORA_MUTTER_XAUTHORITY and VELLORA_MUTTER_BUS. mutter offers no layer shell, so the
// lyric's windows stay X11 windows there. Its pointer is its own, moved by a remote desktop
// session; without a screen cast stream (which needs a PipeWire daemon) the test sees none of
// its pixels, and asks the X server and the window manager instead. A dock 30 pixels high
// along the bottom takes its height off the work area.
class MutterDriver : public CompositorDriver {
public:
    static constexpr int ScreenWidth = 1920;
    static constexpr int ScreenHeight = 1080;
    static constexpr int DockHeight = 30;

    MutterDriver(const QString& runtime, const QString& home) {
        if (!problem().isEmpty())
            return;
        // The test's own X clients reach mutter's Xwayland.
        qputenv("DISPLAY", mutter("VELLORA_MUTTER_DISPLAY").toLocal8Bit());
        qputenv("XAUTHORITY", mutter("VELLORA_MUTTER_XAUTHORITY").toLocal8Bit());
        open(mutter("VELLORA_MUTTER_WAYLAND_DISPLAY"), mutter("VELLORA_MUTTER_DISPLAY"), runtime,
             home);
        environment_.insert("XAUTHORITY", mutter("VELLORA_MUTTER_XAUTHORITY"));
        remote_ = std::make_unique<RemotePointer>(
            QDBusConnection::connectToBus(mutter("VELLORA_MUTTER_BUS"), "mutter"));
        if (!x11_->connected())
            return;
        // A task bar's window, whose strut mutter takes off the work area.
        dock_ = x11_->createWindow(QRect(0, ScreenHeight - DockHeight, ScreenWidth, DockHeight));
        x11_->setWords(dock_, "_NET_WM_WINDOW_TYPE", "ATOM",
                       {x11_->atom("_NET_WM_WINDOW_TYPE_DOCK")});
        // left, right, top, bottom, then each one's start and end along its edge.
        const QList<quint32> strut{0, 0, 0, DockHeight, 0, 0, 0, 0, 0, 0, 0, ScreenWidth - 1};
        x11_->setWords(dock_, "_NET_WM_STRUT_PARTIAL", "CARDINAL", strut);
        x11_->setWords(dock_, "_NET_WM_STRUT", "CARDINAL", strut.first(4));
        x11_->map(dock_);
        const QRect work(0, 0, ScreenWidth, ScreenHeight - DockHeight);
        workAreaShrunk_ = waitUntil([&] { return x11_->workArea() == work; }, 20000);
    }
    ~MutterDriver() override {
        if (dock_)
            x11_->destroyWindow(dock_);
    }

    QString problem() const override {
        if (mutter("VELLORA_MUTTER_WAYLAND_DISPLAY").isEmpty())
            return "run through scripts/test.sh, which starts a headless mutter";
        if (x11_ && !x11_->connected())
            return "no connection to mutter's Xwayland";
        if (remote_ && !remote_->started())
            return "no remote desktop session";
        if (x11_ && !workAreaShrunk_)
            return "mutter took no room for the dock";
        return {};
    }
    bool showsPixels() const override { return false; }
    QImage screenshot() override { return {}; }
    // Xwayland hears of the compositor's pointer on its own time: a move that it has not seen
    // would not be followed by the next.
    void moveTo(QPoint at, bool overX11) override {
        remote_->moveTo(at - QPoint(1, 0));
        remote_->moveTo(at);
        if (overX11) {
            const std::function<void()> nudge = nudging(at);
            ASSERT_TRUE(waitUntil(
                [&] {
                    if (x11PointerNear(at, 0))
                        return true;
                    nudge();
                    return false;
                },
                20000));
        }
    }
    void press() override { remote_->button(true); }
    void release() override { remote_->button(false); }
    // Once mutter has framed the X11 window and says so in its stacking list; a Wayland
    // window's place it does not tell.
    std::optional<QPoint> windowCorner(const QString& title, bool x11) override {
        if (!x11)
            return std::nullopt;
        const QStringList stacking = x11_->stacking();
        if (std::none_of(stacking.begin(), stacking.end(),
                         [&](const QString& managed) { return managed.startsWith(title); }))
            return std::nullopt;
        const std::optional<QRect> window = x11_->window(title);
        return window ? std::optional(window->topLeft()) : std::nullopt;
    }
    QRect workArea() override { return x11_->workArea().value_or(QRect()); }
    void close(const QString& title) override { x11_->close(title); }
    void targetStarted(QProcess& target, const QString& title, bool x11, QPoint under) override {
        moveTo(under, false);
        // The pointer enters it once the compositor shows it.
        EXPECT_FALSE(nextLine(&target, "entered", nudging(under)).isEmpty());
        if (x11) {
            EXPECT_TRUE(waitUntil([&] { return x11_->activeTitle() == title; }, 20000));
        }
    }
    void pointOverTarget(QProcess& target, QPoint at, bool x11) override {
        if (!x11) {
            EXPECT_TRUE(reachesTarget(at, target));
        }
    }
    void clickedThrough(QProcess& target, const QString& title, bool x11) override {
        // Active now, if not already as a new window.
        EXPECT_FALSE(nextLine(&target, "active").isEmpty());
        if (x11) {
            // mutter's stacking, as it tells X clients: the lyric above the active window. (Said
            // to X clients once mutter has made it so, maybe after the window heard.)
            EXPECT_TRUE(waitUntil([&] { return x11_->activeTitle() == title; }, 20000));
            const QStringList stacking = x11_->stacking();
            EXPECT_GT(stacking.lastIndexOf("Form1"), stacking.indexOf(title));
        }
    }

private:
    // What to do while waiting for a window under the pointer at at to hear of it: mutter tells a
    // window that appeared under a resting pointer, or that a new input shape above it uncovered,
    // only once the pointer moves. So the pointer goes a pixel away and back every tenth of a
    // second, which keeps the compositor's queue short.
    std::function<void()> nudging(QPoint at) {
        return [this, at, sinceMove = QElapsedTimer()]() mutable {
            if (sinceMove.isValid() && !sinceMove.hasExpired(100))
                return;
            remote_->moveTo(at - QPoint(1, 0));
            remote_->moveTo(at);
            sinceMove.start();
        };
    }
    // Moves the pointer to at until the target hears it there (within a pixel: the nudges go a
    // pixel away). A maximized Wayland window's coordinates are the screen's.
    bool reachesTarget(QPoint at, QProcess& target) {
        const std::function<void()> nudge = nudging(at);
        for (;;) {
            const QList<QByteArray> words = nextLine(&target, "motion", nudge).split(' ');
            if (words.size() != 3)
                return false; // no move heard in time
            if ((QPoint(words[1].toInt(), words[2].toInt()) - at).manhattanLength() <= 1) {
                moveTo(at, false);
                return true;
            }
        }
    }

    static QString mutter(const char* name) { return qEnvironmentVariable(name); }

    std::unique_ptr<RemotePointer> remote_;
    quint32 dock_ = 0;
    bool workAreaShrunk_ = false;
};

} // namespace testsupport
