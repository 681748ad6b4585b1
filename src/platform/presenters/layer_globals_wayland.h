#pragma once

#include "platform/presenters/layer_outputs_wayland.h"
#include "platform/presenters/layer_seat_wayland.h"

#include <wayland-client.h>

struct zwlr_layer_shell_v1;
struct wp_viewporter;

// What a layer-shell presenter binds on its connection: the compositor, shared memory, the
// layer shell and, where offered, the viewporter. Outputs and the first seat go to their own
// keepers as they are offered.
class LayerGlobals {
public:
    LayerGlobals(LayerOutputs& outputs, LayerSeat& seat) : outputs_(outputs), seat_(seat) {}
    LayerGlobals(const LayerGlobals&) = delete;
    LayerGlobals& operator=(const LayerGlobals&) = delete;

    // Binds every global offered now and keeps listening for outputs; false when the
    // connection failed or lacks what a layer surface needs.
    bool bind(wl_display* display);

    // Gives back everything bound, outputs and seat included; before the connection closes.
    void release();

    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_viewporter* viewporter = nullptr; // none: the compositor offers no viewports

private:
    static const wl_registry_listener listener;

    LayerOutputs& outputs_;
    LayerSeat& seat_;
    wl_registry* registry_ = nullptr;
};
