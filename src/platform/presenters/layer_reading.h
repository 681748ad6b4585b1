#pragma once

#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>

// Pieces of the layer presenter that take the compositor's word, kept apart from
// libwayland-client so that a test can give them any word.

// The calls that reading a Wayland connection from an event loop makes.
struct WaylandReading {
    std::function<int()> prepareRead;     // wl_display_prepare_read
    std::function<int()> dispatchPending; // wl_display_dispatch_pending
    std::function<int()> readEvents;      // wl_display_read_events
};

// Reads what the compositor sent and dispatches it. False once the connection is lost, on any
// failing call: after a protocol error dispatch_pending fails without taking the queued
// events, so that prepare_read would fail, and the loop turn, for ever.
bool readWayland(const WaylandReading& calls);

// An output's place and size in the compositor's space, as it described them: none for a size
// outside 1 to 32768 or a place so far out that the rectangle's arithmetic would overflow;
// such an output is taken as not described yet, and no lyric is made for it.
std::optional<QRect> describedArea(std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height);
