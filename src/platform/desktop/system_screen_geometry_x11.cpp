#include "platform/desktop/system_screen_geometry.h"

#include "platform/desktop/panel_watch_x11.h"
#include "platform/desktop/qt_screen_geometry.h"
#include "window_services/monitor_work_areas.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {

// Qt's screens with the work areas the desktop's panels leave them. Nothing of the X server is
// read until someone asks for the screens.
class PanelAwareScreenGeometry final : public ScreenGeometry {
public:
    explicit PanelAwareScreenGeometry(xcb_connection_t* connection)
        : watch_(connection, [this] { announceIfChanged(); }) {
        // The X screen's size may have changed with the monitors: read again before telling.
        connect(&qt_, &ScreenGeometry::changed, this, [this] {
            if (watch_.started())
                watch_.screensChanged();
            else
                Q_EMIT changed();
        });
    }

    QRect screen() const override { return screens().value(0).geometry; }
    QRect workArea() const override { return screens().value(0).workArea; }
    QList<DesktopScreen> screens() const override {
        if (!watch_.started()) {
            watch_.start();
            announced_ = placed();
        }
        return placed();
    }

private:
    // The listeners hear of a change of the screens as they are placed on, once each.
    QList<DesktopScreen> placed() const {
        return MonitorWorkAreas::applied(qt_.screens(), watch_.reservations());
    }

    void announceIfChanged() {
        QList<DesktopScreen> now = placed();
        if (now == announced_)
            return;
        announced_ = std::move(now);
        Q_EMIT changed();
    }

    QtScreenGeometry qt_;
    // Started by the first look at the screens, which a const reader makes.
    mutable PanelWatch watch_;
    mutable QList<DesktopScreen> announced_;
};

} // namespace

std::unique_ptr<ScreenGeometry> systemScreenGeometry() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection())
        return std::make_unique<PanelAwareScreenGeometry>(x11->connection());
    return std::make_unique<QtScreenGeometry>();
}
