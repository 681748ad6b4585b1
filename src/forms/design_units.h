#pragma once

#include "window_services/twips.h"

#include <QRect>

constexpr int twipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}

constexpr QRect designRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
