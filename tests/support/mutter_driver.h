#pragma once

#include "support/compositor_driver.h"

#include <functional>

namespace testsupport {

class RemotePointer;

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

    MutterDriver(const QString& runtime, const QString& home);
    ~MutterDriver() override;

    QString problem() const override;
    bool showsPixels() const override { return false; }
    QImage screenshot() override { return {}; }
    // Xwayland hears of the compositor's pointer on its own time: a move that it has not seen
    // would not be followed by the next.
    void moveTo(QPoint at, bool overX11) override;
    void press() override;
    void release() override;
    // Once mutter has framed the X11 window and says so in its stacking list; a Wayland
    // window's place it does not tell.
    std::optional<QPoint> windowCorner(const QString& title, bool x11) override;
    QRect workArea() override;
    void close(const QString& title) override { x11_->close(title); }
    void targetStarted(QProcess& target, const QString& title, bool x11, QPoint under) override;
    void pointOverTarget(QProcess& target, QPoint at, bool x11) override;
    void clickedThrough(QProcess& target, const QString& title, bool x11) override;

private:
    std::function<void()> nudging(QPoint at);
    bool reachesTarget(QPoint at, QProcess& target);

    std::unique_ptr<RemotePointer> pointer_;
    quint32 dock_ = 0;
    bool workAreaShrunk_ = false;
};

} // namespace testsupport
