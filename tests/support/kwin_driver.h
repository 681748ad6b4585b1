#pragma once

#include "support/compositor_driver.h"

#include <QColor>

namespace testsupport {

// KDE's KWin in its Wayland session as the test script starts it (virtual backend, two
// 1920×1080 outputs side by side), named in VELLORA_KWIN_WAYLAND_DISPLAY,
// VELLORA_KWIN_DISPLAY and VELLORA_KWIN_BUS; with a panel (tests/wayland_panel) 30 pixels
// high along the bottom, its fake input driven by tests/wayland_pointer, and screenshots from
// its screenshot interface, so that they show what the compositor shows.
class KWinDriver : public CompositorDriver {
public:
    static constexpr int ScreenWidth = 1920;
    static constexpr int ScreenHeight = 1080;
    static constexpr int PanelHeight = 30;

    KWinDriver(const QString& pointerProgram, const QString& panelProgram, const QString& runtime,
               const QString& home);
    ~KWinDriver() override;

    QString problem() const override;
    QImage screenshot() override { return screenshotAt(0); }
    // The output whose left edge is at left.
    QImage screenshotAt(int left);
    void moveTo(QPoint at, bool overX11) override;
    void press() override { pointer_->point("press"); }
    void release() override { pointer_->point("release"); }
    // An X11 window's; a Wayland window's place is the compositor's secret.
    std::optional<QPoint> windowCorner(const QString& title, bool x11) override;
    QRect workArea() override;
    void close(const QString& title) override { x11_->close(title); }
    void targetStarted(QProcess& target, const QString& title, bool x11, QPoint under) override;

private:
    std::unique_ptr<PointerProgram> pointer_;
    std::unique_ptr<QProcess> panel_;
    bool panelShown_ = false;
};

} // namespace testsupport
