#include "platform/presenters/layer_seat_wayland.h"

#include <algorithm>
#include <cstring>

bool LayerSeat::offer(wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) != 0)
        return false;
    if (!seat_)
        seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    return true;
}

bool LayerSeat::listen() {
    if (!seat_)
        return false;
    wl_seat_add_listener(seat_, &seatListener, this);
    return true;
}

void LayerSeat::surfaceGone(const PointedWindow* window) {
    if (events_.isOnSurfaceOf(window))
        events_.pointerLeft();
}

void LayerSeat::release() {
    if (pointer_)
        wl_pointer_destroy(pointer_);
    if (seat_)
        wl_seat_destroy(seat_);
    pointer_ = nullptr;
    seat_ = nullptr;
}

const wl_seat_listener LayerSeat::seatListener = {
    [](void* data, wl_seat* seat, uint32_t capabilities) {
        auto* self = static_cast<LayerSeat*>(data);
        const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
        if (pointer && !self->pointer_) {
            self->pointer_ = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(self->pointer_, &pointerListener, self);
        } else if (!pointer && self->pointer_) {
            self->events_.pointerLeft();
            wl_pointer_destroy(self->pointer_);
            self->pointer_ = nullptr;
        }
    },
    [](void*, wl_seat*, const char*) {},
};

const wl_pointer_listener LayerSeat::pointerListener = {
    // enter
    [](void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
        auto* self = static_cast<LayerSeat*>(data);
        self->events_.pointerAt(self->windowOn_(surface),
                                QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y)));
    },
    // leave
    [](void* data, wl_pointer*, uint32_t, wl_surface*) {
        static_cast<LayerSeat*>(data)->events_.pointerLeft();
    },
    // motion
    [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        static_cast<LayerSeat*>(data)->events_.pointerMovedTo(
            QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y)));
    },
    // button
    [](void* data, wl_pointer*, uint32_t, uint32_t time, uint32_t button, uint32_t state) {
        static_cast<LayerSeat*>(data)->events_.pointerButton(
            time, button, state == WL_POINTER_BUTTON_STATE_PRESSED);
    },
    // axis and the later events: the windows take no wheel
    [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    [](void*, wl_pointer*) {},
    [](void*, wl_pointer*, uint32_t) {},
    [](void*, wl_pointer*, uint32_t, uint32_t) {},
    [](void*, wl_pointer*, uint32_t, int32_t) {},
    [](void*, wl_pointer*, uint32_t, int32_t) {},
};
