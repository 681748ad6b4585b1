#pragma once

#include "window_services/window_presenter.h"

#include <functional>
#include <memory>

// The presenter of the window system the program runs on: where the session's Wayland
// compositor offers the layer shell, layer surfaces; otherwise Qt's own windows, cut with
// the X11 SHAPE extension on Qt's connection (the compositing manager watched through
// XFixes), or on another Qt platform with the widget's own mask.
std::unique_ptr<WindowPresenter> systemWindowPresenter();

// The same, made the first time the function returned is called and kept as long as that
// function: making it asks the window system questions that start-up need not wait for.
inline std::function<WindowPresenter&()> systemWindowPresenterOnFirstUse() {
    auto made = std::make_shared<std::unique_ptr<WindowPresenter>>();
    return [made]() -> WindowPresenter& {
        if (!*made)
            *made = systemWindowPresenter();
        return **made;
    };
}
