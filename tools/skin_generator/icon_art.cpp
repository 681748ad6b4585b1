// The program icon: beamed notes over two lyric lines on a night-blue tile.
#include "artwork.h"
#include "painting.h"

namespace skin {

QImage drawProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    smooth(painter);
    const qreal s = size;
    const QRectF tile(0.5, 0.5, s - 1, s - 1);
    QPainterPath shape;
    shape.addRoundedRect(tile, s * 0.22, s * 0.22);
    painter.fillPath(shape, vertical(tile, QColor(0x26, 0x3a, 0x62), QColor(0x0b, 0x11, 0x21)));
    painter.strokePath(shape, QPen(QColor(0x4c, 0x6c, 0xa4), 1));

    // Small sizes keep only the notes; the lyric lines would blur into a smudge.
    const bool withLines = size >= 32;
    const QRectF notesBox = withLines ? QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.56)
                                      : QRectF(s * 0.17, s * 0.16, s * 0.66, s * 0.66);
    painter.fillPath(beamedNotes(notesBox),
                     vertical(notesBox, QColor(colour::AccentLight), QColor(colour::Accent)));
    if (withLines) {
        painter.setPen(Qt::NoPen);
        const qreal thickness = s / 16;
        painter.setBrush(QColor(colour::Glyph));
        painter.drawRoundedRect(QRectF(s * 0.2, s * 0.72, s * 0.6, thickness), thickness / 2,
                                thickness / 2);
        painter.setBrush(QColor(0x8f, 0xa9, 0xcc));
        painter.drawRoundedRect(QRectF(s * 0.2, s * 0.82, s * 0.38, thickness), thickness / 2,
                                thickness / 2);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace skin
