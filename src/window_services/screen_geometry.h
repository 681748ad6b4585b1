#pragma once

#include <QRect>

// The primary screen, in the pixels windows are placed in. Tests give it any size and work
// area they need.
class ScreenGeometry {
public:
    virtual ~ScreenGeometry() = default;

    // The whole primary screen.
    virtual QRect screen() const = 0;

    // The part of the primary screen that panels and docks leave free.
    virtual QRect workArea() const = 0;
};
