#include "platform/desktop/window_opacity.h"

#include <QGuiApplication>

bool windowOpacityAvailable() {
    // Qt names its Wayland platforms "wayland", "wayland-egl" and so on.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
