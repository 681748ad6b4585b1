#include "desktop_lyric/lyric_gradient.h"

namespace LyricRenderer {

namespace {

inline int lerpChannel(int from, int to, double t) {
    return int(std::lround(from + (to - from) * t));
}

QRgb mix(quint32 from, quint32 to, double t) {
    return qRgba(lerpChannel(qRed(from), qRed(to), t), lerpChannel(qGreen(from), qGreen(to), t),
                 lerpChannel(qBlue(from), qBlue(to), t), lerpChannel(qAlpha(from), qAlpha(to), t));
}

// Where in the tile the centre of a block pixel falls, as a fraction of the tile's side;
// the second half of the block mirrors the first.
double tileFraction(int blockPixel, int tileSide) {
    double centre = blockPixel + 0.5;
    if (centre > tileSide)
        centre = 2.0 * tileSide - centre;
    return centre / tileSide;
}

} // namespace

QImage gradientBlock(quint32 firstColour, quint32 secondColour, qreal scale) {
    const int tileWidth = devicePixels(GradientTileWidth, scale);
    const int tileHeight = devicePixels(GradientTileHeight, scale);
    QImage block(2 * tileWidth, 2 * tileHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < block.height(); ++y) {
        const double down = tileFraction(y, tileHeight);
        auto* row = reinterpret_cast<QRgb*>(block.scanLine(y));
        for (int x = 0; x < block.width(); ++x) {
            const double across = tileFraction(x, tileWidth);
            // 0 at the upper-right corner, 1 at the lower-left, ½ on the other diagonal.
            const double t = (1.0 - across + down) / 2.0;
            row[x] = qPremultiply(mix(firstColour, secondColour, t));
        }
    }
    return block;
}

} // namespace LyricRenderer
