#pragma once

// Whether the window system lets the program set a window's opacity. Wayland gives a client
// none to set, and Qt's Wayland platform only complains when asked.
bool windowOpacityAvailable();
