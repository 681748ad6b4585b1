#pragma once

#include <QRect>

// Window designs give positions and sizes in twips; the program draws at 15 twips per
// pixel, the ratio the designs were made at.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}

constexpr QRect designRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
