// A panel along the bottom of the screen for tests on Wayland compositors that show none of
// their own: a layer surface of one colour that takes its height as an exclusive zone, as a
// desktop's task bar does, so that surfaces kept clear of the panels have to stay above it.
//
//   wayland_panel HEIGHT COLOUR      (COLOUR as 0xRRGGBB)
//
// Says "ready" once the compositor shows it, and ends when standard input closes.
#include <wlr-layer-shell-unstable-v1-client-protocol.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
zwlr_layer_shell_v1* layerShell = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemoved};

struct Panel {
    wl_surface* surface = nullptr;
    uint32_t colour = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool shown = false;
};

// Fills a buffer of the size the compositor gave and shows it.
void paint(Panel& panel) {
    const uint32_t stride = panel.width * 4;
    const size_t size = size_t(stride) * panel.height;
    const int fd = memfd_create("wayland-panel", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0)
        std::exit(1);
    auto* pixels = static_cast<uint32_t*>(mmap(nullptr, size, PROT_WRITE, MAP_SHARED, fd, 0));
    if (pixels == MAP_FAILED)
        std::exit(1);
    for (size_t i = 0; i < size / 4; ++i)
        pixels[i] = 0xff000000 | panel.colour;
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(size));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, int32_t(panel.width), int32_t(panel.height),
                                  int32_t(stride), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(panel.surface, buffer, 0, 0);
    wl_surface_damage(panel.surface, 0, 0, int32_t(panel.width), int32_t(panel.height));
    wl_surface_commit(panel.surface);
}

void configure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
               uint32_t) {
    auto* panel = static_cast<Panel*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (panel->shown && width == panel->width)
        return;
    panel->width = width;
    paint(*panel);
    panel->shown = true;
}

void closed(void*, zwlr_layer_surface_v1*) {
    std::exit(1);
}

const zwlr_layer_surface_v1_listener layerListener = {configure, closed};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: wayland_panel HEIGHT COLOUR\n", stderr);
        return 2;
    }
    Panel panel;
    panel.height = uint32_t(std::atoi(argv[1]));
    panel.colour = uint32_t(std::strtoul(argv[2], nullptr, 16));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wayland_panel: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!compositor || !shm || !layerShell) {
        std::fputs("wayland_panel: the compositor has no layer shell\n", stderr);
        return 1;
    }
    panel.surface = wl_compositor_create_surface(compositor);
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell, panel.surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_TOP, "panel");
    zwlr_layer_surface_v1_add_listener(layer, &layerListener, &panel);
    // Width 0: the compositor stretches it between the anchored edges.
    zwlr_layer_surface_v1_set_size(layer, 0, panel.height);
    zwlr_layer_surface_v1_set_anchor(layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer, int32_t(panel.height));
    wl_surface_commit(panel.surface);
    while (!panel.shown)
        if (wl_display_dispatch(display) < 0)
            return 1;
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);

    // Answers the compositor until standard input closes.
    pollfd watched[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        wl_display_flush(display);
        if (poll(watched, 2, -1) < 0)
            return 1;
        if (watched[1].revents) {
            char drained[64];
            if (read(STDIN_FILENO, drained, sizeof drained) <= 0)
                break;
        }
        if (watched[0].revents && wl_display_dispatch(display) < 0)
            return 1;
    }
    wl_display_disconnect(display);
    return 0;
}
