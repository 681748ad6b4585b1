#include "platform/presenters/layer_globals_wayland.h"

#include <algorithm>
#include <cstring>
#include <viewporter-client-protocol.h>
#include <wlr-layer-shell-unstable-v1-client-protocol.h>

const wl_registry_listener LayerGlobals::listener = {
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        auto* self = static_cast<LayerGlobals*>(data);
        const auto bind = [&](const wl_interface* wanted, uint32_t highest) {
            return wl_registry_bind(registry, name, wanted, std::min(version, highest));
        };
        if (self->outputs_.offer(registry, name, interface, version) ||
            self->seat_.offer(registry, name, interface, version))
            return;
        if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= 3)
            self->compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
        else if (std::strcmp(interface, wl_shm_interface.name) == 0)
            self->shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
        else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
            self->layerShell =
                static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 1));
        else if (std::strcmp(interface, wp_viewporter_interface.name) == 0)
            self->viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    },
    [](void* data, wl_registry*, uint32_t name) {
        static_cast<LayerGlobals*>(data)->outputs_.remove(name);
    },
};

bool LayerGlobals::bind(wl_display* display) {
    registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(registry_, &listener, this);
    if (wl_display_roundtrip(display) < 0)
        return false;
    if (!compositor || !shm || !layerShell)
        return false;
    if (seat_.listen())
        wl_display_roundtrip(display);
    return true;
}

void LayerGlobals::release() {
    seat_.release();
    if (layerShell)
        zwlr_layer_shell_v1_destroy(layerShell);
    if (viewporter)
        wp_viewporter_destroy(viewporter);
    if (shm)
        wl_shm_destroy(shm);
    if (compositor)
        wl_compositor_destroy(compositor);
    outputs_.release();
    if (registry_)
        wl_registry_destroy(registry_);
    layerShell = nullptr;
    viewporter = nullptr;
    shm = nullptr;
    compositor = nullptr;
    registry_ = nullptr;
}
