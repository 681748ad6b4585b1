#include "platform/process/start_platform.h"

#include <wayland-client-core.h>

bool waylandDisplayAnswers() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return false;
    wl_display_disconnect(display);
    return true;
}
