#include "window_services/window_shape.h"

#include <QBitmap>
#include <algorithm>

namespace WindowShape {

QRegion nothingVisible() {
    return QRegion(-1, -1, 1, 1);
}

namespace {

QImage emptyBits(QSize size) {
    QImage bits(size, QImage::Format_MonoLSB);
    // A bitmap's region is its colour-1 (black) pixels.
    bits.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    bits.fill(0);
    return bits;
}

} // namespace

QRegion outsideColourKey(const QImage& picture, QRgb key) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage bits = emptyBits(rgb.size());
    bool any = false;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* inside = bits.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            if (row[x] != key) {
                inside[x >> 3] |= uchar(1u << (x & 7));
                any = true;
            }
        }
    }
    return any ? QRegion(QBitmap::fromImage(bits)) : nothingVisible();
}

QImage colourKeyTransparent(const QImage& picture, QRgb key) {
    QImage transparent = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < transparent.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(transparent.scanLine(y));
        std::replace(row, row + transparent.width(), key, QRgb(0));
    }
    return transparent;
}

QRegion inkedPixels(const QImage& picture, const QRect& area) {
    const QRect within = area & picture.rect();
    QList<QRect> cells;
    // Rows whose runs are the same make one band of cells, which grows down until a row
    // differs; one more row past the area, empty, ends the last band.
    QList<QRect> band;
    QList<int> runs;
    QList<int> bandRuns;
    for (int y = within.top(); y <= within.bottom() + 1; ++y) {
        runs.clear();
        if (y <= within.bottom()) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = within.left(); x <= within.right(); ++x) {
                if (qAlpha(row[x]) == 0)
                    continue;
                const int start = x;
                while (x <= within.right() && qAlpha(row[x]) != 0)
                    ++x;
                runs << start << x;
            }
        }
        if (runs == bandRuns) {
            for (QRect& cell : band)
                cell.setBottom(y);
            continue;
        }
        cells << band;
        band.clear();
        for (qsizetype i = 0; i < runs.size(); i += 2)
            band << QRect(runs[i], y, runs[i + 1] - runs[i], 1);
        bandRuns = runs;
    }
    QRegion region;
    region.setRects(cells.constData(), int(cells.size()));
    return region;
}

} // namespace WindowShape
