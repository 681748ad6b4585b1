// The glyphs of the tool strip's buttons: a document, a list, a folder, a bin, a gear, a
// speaker and the lyric sign, with the small round badge some of them carry.
#include "tool_glyphs.h"

#include "artwork.h"
#include "painting.h"

#include <QPainterPath>
#include <cmath>

namespace skin {

void drawBadge(QPainter& painter, QPointF c, QColor fill, bool plus) {
    painter.setPen(QPen(QColor(colour::FaceBottom), 1.2));
    painter.setBrush(fill);
    painter.drawEllipse(c, 3.6, 3.6);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(colour::Ink), 1.3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(c.x() - 2, c.y()), QPointF(c.x() + 2, c.y()));
    if (plus)
        painter.drawLine(QPointF(c.x(), c.y() - 2), QPointF(c.x(), c.y() + 2));
}

namespace {

QPen outline(QColor ink) {
    QPen pen(ink, 1.2);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

} // namespace

void drawDocument(QPainter& painter, QPointF c, QColor ink) {
    QPainterPath page;
    page.moveTo(c.x() - 5.5, c.y() - 6);
    page.lineTo(c.x() + 1, c.y() - 6);
    page.lineTo(c.x() + 3.5, c.y() - 3.5);
    page.lineTo(c.x() + 3.5, c.y() + 6);
    page.lineTo(c.x() - 5.5, c.y() + 6);
    page.closeSubpath();
    page.moveTo(c.x() + 1, c.y() - 6);
    page.lineTo(c.x() + 1, c.y() - 3.5);
    page.lineTo(c.x() + 3.5, c.y() - 3.5);
    painter.strokePath(page, outline(ink));
    QPainterPath note = beamedNotes(QRectF(c.x() - 4, c.y() - 2, 6, 6));
    painter.fillPath(note, ink);
}

void drawList(QPainter& painter, QPointF c, QColor ink) {
    painter.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::FlatCap));
    for (const qreal row : {-3.5, -0.5, 2.5}) {
        painter.drawLine(QPointF(c.x() - 6.5, c.y() + row), QPointF(c.x() - 5, c.y() + row));
        painter.drawLine(QPointF(c.x() - 3.5, c.y() + row), QPointF(c.x() + 4, c.y() + row));
    }
}

void drawFolder(QPainter& painter, QPointF c, QColor ink) {
    QPainterPath folder;
    folder.moveTo(c.x() - 6.5, c.y() + 5);
    folder.lineTo(c.x() - 6.5, c.y() - 5);
    folder.lineTo(c.x() - 2.5, c.y() - 5);
    folder.lineTo(c.x() - 1, c.y() - 3);
    folder.lineTo(c.x() + 5.5, c.y() - 3);
    folder.lineTo(c.x() + 5.5, c.y() + 5);
    folder.closeSubpath();
    folder.moveTo(c.x() - 6.5, c.y() - 1);
    folder.lineTo(c.x() + 5.5, c.y() - 1);
    painter.strokePath(folder, outline(ink));
}

void drawBin(QPainter& painter, QPointF c, QColor ink) {
    QPainterPath bin;
    bin.moveTo(c.x() - 6, c.y() - 3.5);
    bin.lineTo(c.x() + 6, c.y() - 3.5);
    bin.moveTo(c.x() - 2, c.y() - 3.5);
    bin.lineTo(c.x() - 1.5, c.y() - 5.5);
    bin.lineTo(c.x() + 1.5, c.y() - 5.5);
    bin.lineTo(c.x() + 2, c.y() - 3.5);
    bin.moveTo(c.x() - 4.5, c.y() - 3.5);
    bin.lineTo(c.x() - 3.8, c.y() + 6);
    bin.lineTo(c.x() + 3.8, c.y() + 6);
    bin.lineTo(c.x() + 4.5, c.y() - 3.5);
    bin.moveTo(c.x() - 1.5, c.y() - 1);
    bin.lineTo(c.x() - 1.3, c.y() + 3.5);
    bin.moveTo(c.x() + 1.5, c.y() - 1);
    bin.lineTo(c.x() + 1.3, c.y() + 3.5);
    painter.strokePath(bin, outline(ink));
}

void drawGear(QPainter& painter, QPointF c, QColor ink) {
    constexpr int Teeth = 8;
    QPainterPath gear;
    for (int step = 0; step < Teeth * 4; ++step) {
        // Each tooth: two points on the tip circle, then two on the root circle.
        const qreal radius = step % 4 < 2 ? 6.2 : 4.6;
        const qreal angle =
            (step - 0.5 + (step % 2 == 0 ? 0.15 : -0.15)) * std::numbers::pi * 2 / (Teeth * 4);
        const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (step == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    gear.addEllipse(c, 2, 2);
    gear.setFillRule(Qt::OddEvenFill);
    painter.fillPath(gear, ink);
}

void drawSpeaker(QPainter& painter, QPointF c, QColor ink) {
    QPainterPath cone;
    cone.moveTo(c.x() - 7, c.y() - 2);
    cone.lineTo(c.x() - 4.5, c.y() - 2);
    cone.lineTo(c.x() - 1, c.y() - 5.5);
    cone.lineTo(c.x() - 1, c.y() + 5.5);
    cone.lineTo(c.x() - 4.5, c.y() + 2);
    cone.lineTo(c.x() - 7, c.y() + 2);
    cone.closeSubpath();
    fillRounded(painter, cone, ink);
    painter.setPen(outline(ink));
    painter.drawArc(QRectF(c.x() - 4.5, c.y() - 3.5, 7, 7), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(c.x() - 7, c.y() - 6.5, 13, 13), -50 * 16, 100 * 16);
}

void drawLyricSign(QPainter& painter, QPointF c, QColor ink) {
    painter.setFont(pixelFont(cjkFamily(), 13, QFont::Bold));
    painter.setPen(ink);
    painter.drawText(QRectF(c.x() - 10, c.y() - 9, 20, 18), Qt::AlignCenter, QStringLiteral("词"));
}

} // namespace skin
