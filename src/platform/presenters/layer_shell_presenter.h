#pragma once

#include "window_services/window_presenter.h"

#include <memory>

// The desktop lyric's windows as layer surfaces of the Wayland compositor the session runs
// on, when it offers the layer shell: anchored to the bottom edge above the panels' zones,
// in the overlay layer, taking the pointer only inside the input region their windows set.
// They live on a Wayland connection of their own, beside whatever platform Qt runs on (X11
// through Xwayland included); the windows' widgets stay off Qt's screen and get the
// pointer's events from the surfaces. Null without a Wayland display (WAYLAND_DISPLAY) or
// without the layer shell.
std::unique_ptr<WindowPresenter> layerShellPresenter();
