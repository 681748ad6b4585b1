#include "platform/process/start_platform.h"

#include <xcb/xcb.h>

bool x11DisplayAnswers() {
    // A DISPLAY that is unset, stale or refused leaves a connection in an error state.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return answers;
}
