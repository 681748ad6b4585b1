#pragma once

#include "platform/presenters/layer_pointer_wayland.h"

#include <cstdint>
#include <functional>
#include <wayland-client.h>

// The first seat the compositor offers, and its pointer while it has one: the pointer's
// events on the presenter's surfaces reach the windows' widgets through LayerPointer.
class LayerSeat {
public:
    // The window drawn on a surface; none for a surface that is not the presenter's.
    using WindowOn = std::function<const PointedWindow*(const wl_surface*)>;

    explicit LayerSeat(WindowOn windowOn) : windowOn_(std::move(windowOn)) {}
    ~LayerSeat() { release(); }
    LayerSeat(const LayerSeat&) = delete;
    LayerSeat& operator=(const LayerSeat&) = delete;

    // Binds the global when it is the first seat offered; true when the global was a seat.
    bool offer(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);

    // Starts listening to the seat bound, once every global is; false without one.
    bool listen();

    // The window's surface is going: a pointer on it leaves.
    void surfaceGone(const PointedWindow* window);

    // Gives the seat and its pointer back; before the connection closes.
    void release();

private:
    static const wl_seat_listener seatListener;
    static const wl_pointer_listener pointerListener;

    WindowOn windowOn_;
    wl_seat* seat_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    LayerPointer events_;
};
