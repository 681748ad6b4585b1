#pragma once

#include <QImage>
#include <QObject>
#include <QRegion>

class QWidget;

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

// How the desktop lyric's shape reaches the window system. Regions are in device pixels
// from the window's top-left corner: QWidget::setMask takes logical pixels, which on a
// high-density screen would cut the glyphs' edges into blocks of several pixels.
class WindowShaper : public QObject {
    Q_OBJECT
public:
    // Whether a compositing manager blends translucent windows with what lies behind them,
    // so that transparent pixels show the screen behind without any shape.
    virtual bool compositing() const = 0;

    // The window shows, and takes the pointer, only inside visible; nowhere when it is empty.
    virtual void showOnly(QWidget& window, const QRegion& visible) = 0;

    // The whole window shows, as transparent as its pixels; the pointer is taken only
    // inside input, and passes to the windows below everywhere else.
    virtual void takeInputOnly(QWidget& window, const QRegion& input) = 0;

Q_SIGNALS:
    // A compositing manager came or went.
    void compositingChanged();
};
