#pragma once

#include <QImage>
#include <algorithm>
#include <cmath>

// The desktop lyric's fill: a diagonal gradient between two colours, mirrored and repeated.
namespace LyricRenderer {

// The gradient's tile is the rectangle (1, 1, 240, 10): the first colour at its upper-right
// corner, the second at its lower-left, their middle along the other diagonal. Mirrored
// copies of it fill a block twice its size, repeated from (1, 1).
inline constexpr int GradientLeft = 1;
inline constexpr int GradientTop = 1;
inline constexpr int GradientTileWidth = 240;
inline constexpr int GradientTileHeight = 10;

// The repeating block of the fill at a scale (480×20 at 1), premultiplied, its top-left pixel
// at the tile's origin.
QImage gradientBlock(quint32 firstColour, quint32 secondColour, qreal scale = 1);

// A length in logical pixels as whole device pixels, never less than one.
inline int devicePixels(int logical, qreal scale) {
    return std::max(1, int(std::lround(logical * scale)));
}

} // namespace LyricRenderer
