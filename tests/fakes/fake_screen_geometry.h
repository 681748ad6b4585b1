#pragma once

#include "window_services/screen_geometry.h"

// A primary screen of the test's choosing; 1920×1080 with no panels unless told otherwise.
class FakeScreenGeometry : public ScreenGeometry {
public:
    QRect screen() const override { return screenRect; }
    QRect workArea() const override { return workRect; }

    // A panel of this many pixels along the bottom edge.
    void setBottomPanel(int pixels) {
        workRect =
            QRect(screenRect.x(), screenRect.y(), screenRect.width(), screenRect.height() - pixels);
    }

    QRect screenRect{0, 0, 1920, 1080};
    QRect workRect{0, 0, 1920, 1080};
};
