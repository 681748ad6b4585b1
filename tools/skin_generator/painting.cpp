#include "painting.h"

#include <QFontDatabase>
#include <QTransform>

namespace skin {

QLinearGradient vertical(const QRectF& area, QColor top, QColor bottom) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

void smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont pixelFont(const QString& family, int pixels, int weight) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString cjkFamily() {
    const QString preferred = QStringLiteral("WenQuanYi Micro Hei");
    return QFontDatabase::hasFamily(preferred) ? preferred : QStringLiteral("Sans Serif");
}

QPainterPath beamedNotes(const QRectF& box) {
    // Drawn on a 100-unit square, then fitted to the box.
    QPainterPath notes;
    const auto head = [&notes](QPointF centre) {
        QPainterPath ellipse;
        ellipse.addEllipse(QPointF(0, 0), 15, 11);
        notes.addPath(QTransform().translate(centre.x(), centre.y()).rotate(-22).map(ellipse));
    };
    head(QPointF(27, 80));
    head(QPointF(75, 70));
    notes.addRect(QRectF(33.5, 24, 8, 56));
    notes.addRect(QRectF(81.5, 14, 8, 56));
    QPainterPath beam;
    beam.moveTo(33.5, 24);
    beam.lineTo(89.5, 10);
    beam.lineTo(89.5, 25);
    beam.lineTo(33.5, 39);
    beam.closeSubpath();
    notes.addPath(beam);
    notes.setFillRule(Qt::WindingFill);
    const QTransform fit =
        QTransform().translate(box.left(), box.top()).scale(box.width() / 100, box.height() / 100);
    return fit.map(notes.simplified());
}

void drawLoop(QPainter& painter, QPointF centre, QColor ink, qreal width, qreal height) {
    const QRectF loop(centre.x() - width / 2, centre.y() - height / 2, width, height);
    QPainterPath ring;
    ring.addRoundedRect(loop, height * 0.42, height * 0.42);
    // The line breaks just ahead of each arrow tip, so the arrows read as motion.
    QPainterPath kept;
    kept.addRect(loop.adjusted(-4, -4, 4, 4));
    QPainterPath gaps;
    gaps.addRect(QRectF(centre.x() + 3.5, loop.top() - 2, 2.5, 4));
    gaps.addRect(QRectF(centre.x() - 6, loop.bottom() - 2, 2.5, 4));
    painter.save();
    painter.setClipPath(kept.subtracted(gaps));
    painter.strokePath(ring, QPen(ink, 1.5));
    painter.restore();

    QPainterPath heads;
    heads.moveTo(centre.x() + 4, loop.top());
    heads.lineTo(centre.x() + 0.5, loop.top() - 3);
    heads.lineTo(centre.x() + 0.5, loop.top() + 3);
    heads.closeSubpath();
    heads.moveTo(centre.x() - 4, loop.bottom());
    heads.lineTo(centre.x() - 0.5, loop.bottom() - 3);
    heads.lineTo(centre.x() - 0.5, loop.bottom() + 3);
    heads.closeSubpath();
    painter.fillPath(heads, ink);
}

void fillRounded(QPainter& painter, const QPainterPath& path, QColor ink) {
    // A thin outline in the same colour rounds the sharp tips slightly.
    QPen pen(ink, 0.8);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(ink);
    painter.drawPath(path);
    painter.setBrush(Qt::NoBrush);
}

} // namespace skin
