#include "window_services/picture_change.h"

#include <algorithm>
#include <cstring>

namespace {

// Widens [left, right] to the first and last columns in which two rows of 32-bit pixels
// differ, looking only outside the columns already found.
void widenToDifferences(const quint32* before, const quint32* after, int width, int& left,
                        int& right) {
    for (int x = 0; x < std::min(left, width); ++x)
        if (before[x] != after[x]) {
            left = x;
            break;
        }
    for (int x = width - 1; x > std::max(right, left - 1); --x)
        if (before[x] != after[x]) {
            right = x;
            break;
        }
}

} // namespace

QRect PictureChange::between(const QImage& before, const QImage& after, const QRect& within) {
    if (before.isNull() || before.size() != after.size() || before.format() != after.format() ||
        before.devicePixelRatio() != after.devicePixelRatio())
        return after.rect();
    const QRect area = within & after.rect();
    if (area.isEmpty() || before.cacheKey() == after.cacheKey())
        return {};
    const bool wholePixels = after.depth() == 32;
    const size_t rowBytes = size_t(area.width()) * size_t(after.depth()) / 8;
    int top = -1;
    int bottom = -1;
    int left = area.width();
    int right = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* was = before.constScanLine(y);
        const uchar* is = after.constScanLine(y);
        if (wholePixels) {
            const auto* wasRow = reinterpret_cast<const quint32*>(was) + area.left();
            const auto* isRow = reinterpret_cast<const quint32*>(is) + area.left();
            if (std::memcmp(wasRow, isRow, rowBytes) == 0)
                continue;
            widenToDifferences(wasRow, isRow, area.width(), left, right);
        } else {
            // Pixels smaller than a byte, or of odd sizes: whole rows of the area.
            if (std::memcmp(was, is, size_t(after.bytesPerLine())) == 0)
                continue;
            left = 0;
            right = area.width() - 1;
        }
        if (top < 0)
            top = y;
        bottom = y;
    }
    if (top < 0)
        return {};
    return QRect(QPoint(area.left() + left, top), QPoint(area.left() + right, bottom));
}
