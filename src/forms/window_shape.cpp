#include "forms/window_shape.h"

#include <QBitmap>

namespace WindowShape {

QRegion nothingVisible() {
    return QRegion(-1, -1, 1, 1);
}

QImage emptyBits(QSize size) {
    QImage bits(size, QImage::Format_MonoLSB);
    // A bitmap's region is its colour-1 (black) pixels.
    bits.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    bits.fill(0);
    return bits;
}

QRegion regionOf(const QImage& bits) {
    return QRegion(QBitmap::fromImage(bits));
}

} // namespace WindowShape
