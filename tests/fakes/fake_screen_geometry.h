#pragma once

#include "window_services/screen_geometry.h"

// A primary screen of the test's choosing, 1920×1080 with no panels unless told otherwise,
// and the other screens the test plugs in.
class FakeScreenGeometry : public ScreenGeometry {
public:
    QRect screen() const override { return screenRect; }
    QRect workArea() const override { return workRect; }
    QList<DesktopScreen> screens() const override {
        return QList<DesktopScreen>{{primaryName, {}, screenRect, workRect}} + others;
    }

    // Tells the listeners, as the window system does after a change of its screens.
    void announce() { Q_EMIT changed(); }

    // A panel of this many pixels along the bottom edge.
    void setBottomPanel(int pixels) {
        workRect =
            QRect(screenRect.x(), screenRect.y(), screenRect.width(), screenRect.height() - pixels);
    }

    QRect screenRect{0, 0, 1920, 1080};
    QRect workRect{0, 0, 1920, 1080};
    QString primaryName = QStringLiteral("eDP-1");
    QList<DesktopScreen> others;
};
