// The main window's four pictures: the title scene, the two button strips and the lyric
// strip.
#include "artwork.h"
#include "painting.h"
#include "tool_glyphs.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace skin {
namespace {

// A fixed-seed generator, so that redrawing gives the same stars every time.
class Scatter {
public:
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53);
    }
    double between(double low, double high) { return low + (high - low) * next(); }

private:
    std::uint64_t state_ = 0x5eed5eedull;
};

// Only the top rows of a strip are on screen; the rest continues the window's dark body
// so a taller control never reveals a seam.
QImage stripBase(int height) {
    QImage image(StripWidth, height, QImage::Format_RGB32);
    image.fill(QColor(colour::Ink));
    QPainter painter(&image);
    const QRectF shown(0, 0, StripWidth, StripShownRows);
    painter.fillRect(shown, vertical(shown, QColor(colour::PanelTop), QColor(colour::PanelBottom)));
    painter.fillRect(QRect(0, 0, StripWidth, 1), QColor(colour::PanelEdgeLight));
    painter.fillRect(QRect(0, StripShownRows - 1, StripWidth, 1), QColor(colour::PanelEdgeDark));
    return image;
}

// Faces keep two columns clear on each side of their click area, so neighbouring areas
// that overlap by a column still get separate faces.
QRectF faceFor(ColumnRange area) {
    return QRectF(area.left + 2, 2, area.right - area.left - 4, 18);
}

void drawFace(QPainter& painter, const QRectF& face, bool accent) {
    QPainterPath shape;
    shape.addRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), 4.5, 4.5);
    if (accent)
        painter.fillPath(shape,
                         vertical(face, QColor(colour::AccentLight), QColor(colour::AccentDeep)));
    else
        painter.fillPath(shape,
                         vertical(face, QColor(colour::FaceTop), QColor(colour::FaceBottom)));
    painter.strokePath(shape, QPen(QColor(accent ? colour::Accent : colour::FaceEdge), 1));
    // A faint lit rim along the top edge gives the face its slight bulge.
    QColor rim(Qt::white);
    rim.setAlpha(accent ? 90 : 28);
    painter.setPen(QPen(rim, 1));
    painter.drawLine(QPointF(face.left() + 4, face.top() + 1.5),
                     QPointF(face.right() - 4, face.top() + 1.5));
}

QPainterPath triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

void drawSkip(QPainter& painter, QPointF c, QColor ink, bool forward) {
    const qreal s = forward ? 1 : -1;
    QPainterPath glyph;
    glyph.addPath(triangle(QPointF(c.x() - s * 7, c.y() - 5), QPointF(c.x() - s * 0.5, c.y()),
                           QPointF(c.x() - s * 7, c.y() + 5)));
    glyph.addPath(triangle(QPointF(c.x() - s * 0.5, c.y() - 5), QPointF(c.x() + s * 6, c.y()),
                           QPointF(c.x() - s * 0.5, c.y() + 5)));
    fillRounded(painter, glyph, ink);
    painter.fillRect(QRectF(forward ? c.x() + 6 : c.x() - 8, c.y() - 5, 2, 10), ink);
}

} // namespace

QImage drawTitlePicture() {
    constexpr int Width = StripWidth;
    constexpr int Height = 98;
    constexpr qreal Horizon = 64;
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    smooth(painter);

    QLinearGradient sky(0, 0, 0, Horizon);
    sky.setColorAt(0, QColor(0x07, 0x0b, 0x19));
    sky.setColorAt(0.5, QColor(0x13, 0x20, 0x44));
    sky.setColorAt(0.85, QColor(0x27, 0x4a, 0x78));
    sky.setColorAt(1, QColor(0x4a, 0x82, 0xa8));
    painter.fillRect(QRectF(0, 0, Width, Horizon), sky);

    Scatter scatter;
    for (int star = 0; star < 70; ++star) {
        const QPointF at(scatter.between(0, Width), scatter.between(1, Horizon - 18));
        const qreal radius = scatter.between(0.35, 0.85);
        QColor light(0xdd, 0xe9, 0xff);
        // Stars fade towards the horizon glow.
        light.setAlphaF(static_cast<float>(scatter.between(0.25, 0.9) * (1 - at.y() / Horizon)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(light);
        painter.drawEllipse(at, radius, radius);
    }

    const QPointF moon(262, 24);
    QRadialGradient halo(moon, 46);
    halo.setColorAt(0, QColor(0xa8, 0xd8, 0xff, 90));
    halo.setColorAt(0.25, QColor(0x7f, 0xb8, 0xf0, 40));
    halo.setColorAt(1, QColor(0x7f, 0xb8, 0xf0, 0));
    painter.setBrush(halo);
    painter.drawEllipse(moon, 46, 46);
    QRadialGradient disc(moon + QPointF(-2, -2), 9);
    disc.setColorAt(0, QColor(0xff, 0xff, 0xff));
    disc.setColorAt(1, QColor(0xd6, 0xe6, 0xfa));
    painter.setBrush(disc);
    painter.drawEllipse(moon, 7.5, 7.5);

    const auto ridge = [&](qreal base, qreal a, qreal fa, qreal pa, qreal b, qreal fb, qreal pb) {
        QPainterPath path;
        path.moveTo(0, Horizon + 1);
        for (int x = 0; x <= Width; x += 2)
            path.lineTo(x, Horizon - base - a * std::sin(x * fa + pa) - b * std::sin(x * fb + pb));
        path.lineTo(Width, Horizon + 1);
        path.closeSubpath();
        return path;
    };
    painter.fillPath(ridge(9, 6, 0.031, 0.8, 3, 0.083, 2.0),
                     vertical(QRectF(0, Horizon - 22, Width, 22), QColor(0x2c, 0x48, 0x70),
                              QColor(0x22, 0x3a, 0x5c)));
    painter.fillPath(ridge(3, 4, 0.019, 2.4, 1.6, 0.061, 0.3), QColor(0x0c, 0x14, 0x26));

    // The lake mirrors the sky, darker and deeper towards the viewer.
    QLinearGradient water(0, Horizon, 0, Height);
    water.setColorAt(0, QColor(0x2a, 0x4e, 0x74));
    water.setColorAt(0.35, QColor(0x14, 0x25, 0x42));
    water.setColorAt(1, QColor(0x07, 0x0b, 0x17));
    painter.fillRect(QRectF(0, Horizon, Width, Height - Horizon), water);
    // The hills mirrored faintly in the still water.
    painter.save();
    painter.translate(0, 2 * Horizon + 1);
    painter.scale(1, -1);
    painter.fillPath(ridge(9, 6, 0.031, 0.8, 3, 0.083, 2.0), QColor(0x1c, 0x30, 0x4e, 110));
    painter.fillPath(ridge(3, 4, 0.019, 2.4, 1.6, 0.061, 0.3), QColor(0x08, 0x0e, 0x1c, 150));
    painter.restore();
    painter.fillRect(QRectF(0, Horizon, Width, 1), QColor(0x0a, 0x11, 0x20));
    painter.setPen(Qt::NoPen);
    // The moon's glitter path: short broken dashes that widen and dim towards the viewer.
    for (qreal y = Horizon + 2; y < Height - 1; y += 1.7) {
        const qreal depth = (y - Horizon) / (Height - Horizon);
        const int dashes = 1 + static_cast<int>(scatter.between(0, 2.99));
        for (int dash = 0; dash < dashes; ++dash) {
            const qreal spread = 5 + depth * 16;
            const qreal offset = scatter.between(-spread, spread);
            const qreal length =
                scatter.between(2, 5 + depth * 6) * (1 - std::abs(offset) / spread / 2);
            const int alpha =
                static_cast<int>((210 - depth * 140) * (1 - std::abs(offset) / spread / 1.5));
            painter.setBrush(QColor(0xc8, 0xe4, 0xff, alpha));
            painter.drawRoundedRect(QRectF(moon.x() + offset - length / 2, y, length, 0.9), 0.45,
                                    0.45);
        }
    }
    for (int line = 0; line < 16; ++line) {
        const qreal y = Horizon + 4 + line * 2.1;
        const qreal x = scatter.between(-20, Width - 40);
        painter.setBrush(QColor(0x8f, 0xc0, 0xea, 18));
        painter.drawRect(QRectF(x, y, scatter.between(20, 70), 0.7));
    }

    painter.setPen(QColor(0xee, 0xf5, 0xff));
    QFont title = pixelFont(QStringLiteral("DejaVu Serif"), 27);
    title.setItalic(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    painter.setFont(title);
    const QColor shadow(0x02, 0x05, 0x10, 120);
    painter.setPen(shadow);
    painter.drawText(QPointF(19, 41), QStringLiteral("Vellora"));
    painter.setPen(QColor(0xee, 0xf5, 0xff));
    painter.drawText(QPointF(18, 40), QStringLiteral("Vellora"));

    QLinearGradient underline(18, 0, 70, 0);
    underline.setColorAt(0, QColor(colour::Accent));
    underline.setColorAt(1, QColor(0x4c, 0xb8, 0xec, 0));
    painter.fillRect(QRectF(20, 47, 52, 1), underline);
    QFont subtitle = pixelFont(QStringLiteral("DejaVu Sans"), 8);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x9c, 0xc2, 0xe6));
    painter.drawText(QPointF(20, 58), QStringLiteral("MUSIC \u00b7 LYRICS"));
    return image;
}

QImage drawTransportStrip() {
    QImage image = stripBase(73);
    QPainter painter(&image);
    smooth(painter);
    const QColor light(colour::Glyph);
    const QColor dark(colour::Ink);
    for (std::size_t index = 0; index < std::size(TransportAreas); ++index) {
        const QRectF face = faceFor(TransportAreas[index]);
        const bool play = index == 0;
        drawFace(painter, face, play);
        const QPointF c = face.center();
        switch (index) {
        case 0:
            fillRounded(painter,
                        triangle(QPointF(c.x() - 3, c.y() - 5.5), QPointF(c.x() + 5, c.y()),
                                 QPointF(c.x() - 3, c.y() + 5.5)),
                        dark);
            break;
        case 1:
            painter.setPen(Qt::NoPen);
            painter.setBrush(light);
            painter.drawRoundedRect(QRectF(c.x() - 4.5, c.y() - 5, 3.2, 10), 0.8, 0.8);
            painter.drawRoundedRect(QRectF(c.x() + 1.3, c.y() - 5, 3.2, 10), 0.8, 0.8);
            break;
        case 2:
            painter.setPen(Qt::NoPen);
            painter.setBrush(light);
            painter.drawRoundedRect(QRectF(c.x() - 4.5, c.y() - 4.5, 9, 9), 1.5, 1.5);
            break;
        case 3:
            drawSkip(painter, c, light, false);
            break;
        case 4:
            drawSkip(painter, c, light, true);
            break;
        case 5: {
            drawLoop(painter, c - QPointF(6, 0), light, 20, 11);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(colour::Accent));
            painter.drawEllipse(QPointF(c.x() + 11.5, c.y()), 5, 5);
            QPen pen(dark, 1.4);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(c.x() + 12, c.y() - 3), QPointF(c.x() + 12, c.y() + 3));
            painter.drawLine(QPointF(c.x() + 10.2, c.y() - 1.4), QPointF(c.x() + 12, c.y() - 3));
            break;
        }
        default: {
            drawLoop(painter, c - QPointF(7, 0), light, 20, 11);
            // Lines sit on pixel centres so they stay crisp at one pixel's thickness.
            QPen pen(light, 1.2, Qt::SolidLine, Qt::FlatCap);
            painter.setPen(pen);
            for (const qreal row : {-3.5, -0.5, 2.5})
                painter.drawLine(QPointF(c.x() + 7, c.y() + row), QPointF(c.x() + 12, c.y() + row));
            painter.drawLine(QPointF(c.x() + 15.5, c.y() - 4.5),
                             QPointF(c.x() + 15.5, c.y() + 3.5));
            fillRounded(painter,
                        triangle(QPointF(c.x() + 13, c.y() + 2), QPointF(c.x() + 18, c.y() + 2),
                                 QPointF(c.x() + 15.5, c.y() + 5)),
                        light);
            break;
        }
        }
    }
    return image;
}

QImage drawToolStrip() {
    QImage image = stripBase(73);
    QPainter painter(&image);
    smooth(painter);
    const QColor ink(colour::Glyph);
    for (std::size_t index = 0; index < std::size(ToolAreas); ++index) {
        const QRectF face = faceFor(ToolAreas[index]);
        drawFace(painter, face, false);
        const QPointF c = face.center();
        switch (index) {
        case 0:
            drawDocument(painter, c - QPointF(1, 0), ink);
            drawBadge(painter, c + QPointF(4, 3.5), QColor(colour::Accent), true);
            break;
        case 1:
            drawList(painter, c - QPointF(1, 0), ink);
            drawBadge(painter, c + QPointF(4, 3.5), QColor(colour::Warm), false);
            break;
        case 2:
            drawFolder(painter, c - QPointF(0.5, 0), ink);
            drawBadge(painter, c + QPointF(4.5, 3.5), QColor(colour::Accent), true);
            break;
        case 3:
            drawBin(painter, c, ink);
            break;
        case 4:
            drawLyricSign(painter, c, QColor(colour::AccentLight));
            break;
        case 5:
            drawGear(painter, c, ink);
            break;
        default:
            drawSpeaker(painter, c + QPointF(1, 0), ink);
            break;
        }
    }
    return image;
}

QImage drawLyricStrip() {
    constexpr int Height = 55;
    QImage image(StripWidth, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    smooth(painter);
    const QRectF whole(0, 0, StripWidth, Height);
    painter.fillRect(whole, vertical(whole, QColor(colour::PanelTop), QColor(colour::Ink)));
    painter.fillRect(QRect(0, 0, StripWidth, 1), QColor(colour::PanelEdgeDark));
    painter.fillRect(QRect(0, 1, StripWidth, 1), QColor(colour::PanelEdgeLight));

    // A pale display behind the lyric line, so the line's black text reads crisply; it
    // frames the 297 x 32 text area at (16, 8) with a few pixels to spare.
    const QRectF display(10.5, 4.5, 307, 39);
    QPainterPath shape;
    shape.addRoundedRect(display, 5, 5);
    painter.fillPath(shape, vertical(display, QColor(0xe9, 0xf1, 0xf9), QColor(0xd3, 0xe2, 0xf1)));
    painter.save();
    painter.setClipPath(shape);
    painter.fillRect(QRectF(display.left(), display.top() + 0.5, display.width(), 2),
                     QColor(0x9d, 0xb2, 0xcc, 110));
    painter.restore();
    painter.strokePath(shape, QPen(QColor(0x05, 0x08, 0x10), 1));
    QPainterPath glow;
    glow.addRoundedRect(display.adjusted(-1, -1, 1, 1), 6, 6);
    painter.strokePath(glow, QPen(QColor(0x4c, 0xb8, 0xec, 60), 1));
    return image;
}

} // namespace skin
