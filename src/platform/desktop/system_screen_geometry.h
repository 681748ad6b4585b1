#pragma once

#include "window_services/screen_geometry.h"

#include <memory>

// The screens of the window system the program runs on. On X11 they are Qt's monitors, each
// with a work area of its own worked out from the desktop's panels (Qt gives every monitor its
// whole geometry once there are two, and is not told when panels or monitors change it back);
// elsewhere Qt's own answer.
std::unique_ptr<ScreenGeometry> systemScreenGeometry();
