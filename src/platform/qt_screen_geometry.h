#pragma once

#include "window_services/screen_geometry.h"

// The primary screen as the window system reports it to Qt. Without a screen both
// rectangles are empty.
class QtScreenGeometry final : public ScreenGeometry {
public:
    QRect screen() const override;
    QRect workArea() const override;
};
