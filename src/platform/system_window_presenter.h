#pragma once

#include "window_services/window_presenter.h"

#include <memory>

// The presenter of the window system the program runs on: where the session's Wayland
// compositor offers the layer shell, layer surfaces; otherwise Qt's own windows, cut with
// the X11 SHAPE extension on Qt's connection (the compositing manager watched through
// XFixes), or on another Qt platform with the widget's own mask.
std::unique_ptr<WindowPresenter> systemWindowPresenter();
