#include "window_services/window_shape.h"

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
