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

// The pixels of a 32-bit picture not of the colour key, the rest of which lets the desktop
// show through and the pointer through to what lies beneath; nothing visible when all are.
QRegion outsideColourKey(const QImage& picture, QRgb key);

// The same picture for a surface that knows no colour key: premultiplied, with the key's
// pixels transparent.
QImage colourKeyTransparent(const QImage& picture, QRgb key);

// The pixels of a premultiplied picture within area that are not fully transparent, built
// from each row's runs without a bitmap: a picture of device pixels on a high-density screen
// is mostly empty, and only its inked part needs a look. Empty when none are.
QRegion inkedPixels(const QImage& picture, const QRect& area);

} // namespace WindowShape
