#pragma once

#include <QImage>
#include <QRegion>

// Window masks cut from pictures: where no compositing manager blends a window with what
// lies behind, the mask is what keeps the rest of the screen visible, and everywhere it
// lets clicks beside the window's drawing reach the windows below.
namespace WindowShape {

// An empty region would mean "no mask", which shows the whole window; a pixel outside the
// window shows none of it.
QRegion nothingVisible();

// A picture's size in bits, all of them outside.
QImage emptyBits(QSize size);
inline void setInside(QImage& bits, int x, int y) {
    bits.scanLine(y)[x >> 3] |= uchar(1u << (x & 7));
}
QRegion regionOf(const QImage& bits);

// The pixels of a 32-bit picture for which shows(pixel) holds; nothing visible when none do.
template <typename Shows> QRegion visiblePixels(const QImage& picture, Shows shows) {
    QImage bits = emptyBits(picture.size());
    bool any = false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (shows(row[x])) {
                setInside(bits, x, y);
                any = true;
            }
        }
    }
    return any ? regionOf(bits) : nothingVisible();
}

// The pixels of a premultiplied picture within area that are not fully transparent, built
// from each row's runs without a bitmap: a picture of device pixels on a high-density screen
// is mostly empty, and only its inked part needs a look. Empty when none are.
QRegion inkedPixels(const QImage& picture, const QRect& area);

} // namespace WindowShape
