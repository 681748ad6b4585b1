#pragma once

#include <QImage>

// The few colours the skin's indexed pictures and icon entries may hold.
namespace skin {

// Reduces an image to at most maxColours palette entries (median cut, nearest-colour
// mapping, no dithering: the pictures are small and flat enough that dithering would only
// add noise). Pixels with alpha below one half are treated as see-through: they all get
// entry 0, which is then black, as icon masks expect.
QImage toIndexed(const QImage& source, int maxColours);

// Whether a pixel counts as see-through in an indexed picture or an icon's mask.
bool isSeeThrough(QRgb pixel);

} // namespace skin
