#pragma once

#include "window_services/window_presenter.h"

#include <memory>

// The shaper of the window system the program runs on: the X11 SHAPE extension on Qt's own
// connection, with the compositing manager watched through XFixes; elsewhere the widget's
// own mask.
std::unique_ptr<WindowPresenter> systemWindowPresenter();
