#pragma once

#include <QSize>

// How a picture at the renderer's device pixels goes onto a layer surface of the window's
// logical size. Wayland takes integer buffer scales only, and a buffer whose size the scale
// does not divide is a protocol error (wlroots 0.17 and later end the connection for it).
// So a fractional ratio (1.5 with QT_SCALE_FACTOR, or a desktop whose applications scale
// themselves) is sent at scale 1 and fitted to the surface by the viewporter; without one,
// the picture is shown at its own pixels.
struct LayerBufferScale {
    int bufferScale = 1;
    bool viewport = false;       // the viewport's destination is the surface's logical size
    double devicePerLogical = 1; // device pixels per surface coordinate, for input regions

    bool operator==(const LayerBufferScale&) const = default;
};

LayerBufferScale layerBufferScale(QSize pixels, double devicePixelRatio, bool haveViewporter);
