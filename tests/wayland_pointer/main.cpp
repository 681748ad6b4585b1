// A pointer device for tests on wlroots compositors, through their virtual pointer
// protocol: the compositor moves its cursor and sends the clicks to whatever surface lies
// beneath, as it would a mouse's.
//
//   wayland_pointer WIDTH HEIGHT
//
// Reads one command a line from standard input and answers "ok" once the compositor has
// handled it (or "error" and ends):
//   move X Y        the cursor to X, Y of a layout WIDTH × HEIGHT
//   press | release the left button
// Ends when standard input closes.
#include <wlr-virtual-pointer-unstable-v1-client-protocol.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <linux/input-event-codes.h>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemoved};

uint32_t now() {
    timespec clock{};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    return uint32_t(clock.tv_sec * 1000 + clock.tv_nsec / 1000000);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: wayland_pointer WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const auto width = uint32_t(std::atoi(argv[1]));
    const auto height = uint32_t(std::atoi(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wayland_pointer: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fputs("wayland_pointer: the compositor has no virtual pointers\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);

    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned x = 0;
        unsigned y = 0;
        if (std::sscanf(line, "move %u %u", &x, &y) == 2)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
        else if (std::strncmp(line, "press", 5) == 0)
            zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
        else if (std::strncmp(line, "release", 7) == 0)
            zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        else
            continue;
        zwlr_virtual_pointer_v1_frame(pointer);
        const bool handled = wl_display_roundtrip(display) >= 0;
        std::puts(handled ? "ok" : "error");
        std::fflush(stdout);
        if (!handled)
            return 1;
    }
    // No destroy request: wlroots 0.15 (sway 1.7) can crash handling it, while a client that
    // goes has its pointer taken away safely.
    wl_display_disconnect(display);
    return 0;
}
