// The desktop lyric toolbar: its bar, its logo, the separator and every button state.
#include "artwork.h"
#include "painting.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace skin {
namespace {

constexpr QSize BarSize(389, 30);

enum class State { Normal, Pointer, Down };

struct StateName {
    State state;
    const char* suffix;
};
constexpr StateName States[] = {
    {State::Normal, "Nor"}, {State::Pointer, "Poi"}, {State::Down, "Down"}};

QColor toolInk(State state) {
    switch (state) {
    case State::Pointer:
        return QColor(colour::ToolGlyphHot);
    case State::Down:
        return QColor(colour::ToolGlyphDown);
    case State::Normal:
        break;
    }
    return QColor(colour::ToolGlyph);
}

// A button picture starts as the piece of the bar it covers.
QImage cut(const QImage& storedBar, QPoint at, QSize size) {
    return storedBar.copy(QRect(at, size)).convertToFormat(QImage::Format_RGB32);
}

// Pressed pictures move their content one pixel down and right, as a pushed key would.
QPointF pressOffset(State state) {
    return state == State::Down ? QPointF(0.5, 1) : QPointF(0, 0);
}

// The key colour must stay the bar's alone; a stray match would punch a hole in a button.
QImage withoutKey(QImage image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour::Key)
                image.setPixel(x, y, qRgb(0xfe, 0x00, 0xff));
    return image;
}

// A soft glow behind a small glyph while the pointer is over it.
void hoverGlow(QPainter& painter, const QRectF& area) {
    QRadialGradient glow(area.center(), area.width() / 2 + 1);
    glow.setColorAt(0, QColor(255, 255, 255, 230));
    glow.setColorAt(0.7, QColor(255, 255, 255, 150));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(area.center(), area.width() / 2 + 1, area.height() / 2 + 1);
}

QImage delayButton(const QImage& bar, QPoint at, bool later, State state) {
    QImage image = cut(bar, at, QSize(12, 11));
    QPainter painter(&image);
    smooth(painter);
    if (state == State::Pointer)
        hoverGlow(painter, QRectF(0, 0, 12, 11));
    const QColor ink = toolInk(state);
    const QPointF o = pressOffset(state);
    // Drawn pointing left, then mirrored for the later-lyric arrow.
    QPainterPath arrow;
    arrow.moveTo(1.2, 5.5);
    arrow.lineTo(6, 1.2);
    arrow.lineTo(6, 3.8);
    arrow.lineTo(10.6, 3.8);
    arrow.lineTo(10.6, 7.2);
    arrow.lineTo(6, 7.2);
    arrow.lineTo(6, 9.8);
    arrow.closeSubpath();
    QTransform place;
    place.translate(o.x(), o.y());
    if (later)
        place.translate(12, 0).scale(-1, 1);
    painter.fillPath(place.map(arrow), ink);
    return image;
}

QImage colourDot(const QImage& bar, QPoint at, QRgb from, QRgb to, State state) {
    const int edge = state == State::Pointer ? 16 : 14;
    QImage image = cut(bar, at, QSize(edge, edge));
    QPainter painter(&image);
    smooth(painter);
    QColor top(from);
    QColor bottom(to);
    QRectF dot(1, 1, 12, 12);
    if (state == State::Pointer) {
        top = top.lighter(108);
        bottom = bottom.lighter(112);
        dot = QRectF(2, 2, 12, 12);
        // A white ring with a blue rim marks the dot under the pointer.
        painter.setPen(QPen(QColor(colour::ToolGlyphHot), 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    } else if (state == State::Down) {
        top = top.darker(118);
        bottom = bottom.darker(112);
        dot = QRectF(1.5, 1.5, 11.5, 11.5);
    }
    painter.setPen(QPen(bottom.darker(135), 1));
    painter.setBrush(vertical(dot, top, bottom));
    painter.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(Qt::NoPen);
    if (state == State::Down) {
        // Inset: a shadow along the top inside edge instead of a highlight.
        QPainterPath inner;
        inner.addEllipse(dot.adjusted(1, 1, -1, -1));
        QPainterPath lowered;
        lowered.addEllipse(dot.adjusted(1, 2.2, -1, 0));
        painter.fillPath(inner.subtracted(lowered), QColor(0, 0, 0, 60));
    } else {
        QRectF gloss(dot.left() + 2.5, dot.top() + 1.2, dot.width() - 5, dot.height() * 0.38);
        painter.setBrush(vertical(gloss, QColor(255, 255, 255, 190), QColor(255, 255, 255, 20)));
        painter.drawEllipse(gloss);
    }
    return image;
}

// The small glyph in front of a text button's caption.
enum class Emblem { Gear, Magnifier };

void drawEmblem(QPainter& painter, Emblem emblem, QPointF c, QColor ink) {
    if (emblem == Emblem::Magnifier) {
        painter.setPen(QPen(ink, 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c - QPointF(1, 1), 3, 3);
        painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(c + QPointF(1.3, 1.3), c + QPointF(3.6, 3.6));
        return;
    }
    constexpr int Teeth = 4;
    QPainterPath gear;
    for (int tooth = 0; tooth < Teeth; ++tooth) {
        QPainterPath bar;
        bar.addRect(QRectF(-1.1, -4.6, 2.2, 9.2));
        gear.addPath(QTransform().translate(c.x(), c.y()).rotate(tooth * 45.0).map(bar));
    }
    gear.addEllipse(c, 3.4, 3.4);
    gear = gear.simplified();
    QPainterPath hole;
    hole.addEllipse(c, 1.4, 1.4);
    painter.fillPath(gear.subtracted(hole), ink);
}

QImage textButton(const QImage& bar, QPoint at, QSize size, Emblem emblem, const QString& caption,
                  State state) {
    QImage image = cut(bar, at, size);
    QPainter painter(&image);
    smooth(painter);
    const QRectF body = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor top(0xfb, 0xfd, 0xff);
    QColor bottom(0xdb, 0xec, 0xfa);
    QColor edge(0x9c, 0xc3, 0xe3);
    if (state == State::Pointer) {
        top = QColor(0xff, 0xff, 0xff);
        bottom = QColor(0xe8, 0xf5, 0xff);
        edge = QColor(colour::ToolGlyphHot);
    } else if (state == State::Down) {
        top = QColor(0xc4, 0xdc, 0xf1);
        bottom = QColor(0xdc, 0xeb, 0xf8);
        edge = QColor(0x5f, 0x93, 0xc2);
    }
    QPainterPath shape;
    shape.addRoundedRect(body, 4, 4);
    painter.fillPath(shape, vertical(body, top, bottom));
    painter.strokePath(shape, QPen(edge, 1));

    const QColor ink = toolInk(state);
    const QPointF o = pressOffset(state);
    constexpr qreal EmblemWidth = 10;
    constexpr qreal Gap = 2;
    // The caption shrinks until it keeps clear of the rounded rim.
    QFont font = pixelFont(cjkFamily(), 12);
    qreal captionWidth = QFontMetricsF(font).horizontalAdvance(caption);
    while (font.pixelSize() > 9 && EmblemWidth + Gap + captionWidth > size.width() - 5) {
        font.setPixelSize(font.pixelSize() - 1);
        captionWidth = QFontMetricsF(font).horizontalAdvance(caption);
    }
    const qreal left = (size.width() - EmblemWidth - Gap - captionWidth) / 2 + o.x();
    const qreal middle = size.height() / 2.0 + o.y() - (state == State::Down ? 0.5 : 0);
    drawEmblem(painter, emblem, QPointF(left + EmblemWidth / 2, middle), ink);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(left + EmblemWidth + Gap, middle - 9, captionWidth + 2, 18),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    return image;
}

QImage closeButton(const QImage& bar, QPoint at, State state) {
    QImage image = cut(bar, at, QSize(11, 11));
    QPainter painter(&image);
    smooth(painter);
    // The cross turns warm under the pointer: closing is the one final action here.
    QColor ink(0x5b, 0x84, 0xab);
    if (state == State::Pointer) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xe5, 0x55, 0x5a));
        painter.drawEllipse(QRectF(0, 0, 11, 11));
        ink = Qt::white;
    } else if (state == State::Down) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xb2, 0x36, 0x3d));
        painter.drawEllipse(QRectF(0, 0, 11, 11));
        ink = QColor(0xf3, 0xd6, 0xd8);
    }
    const qreal inset = state == State::Normal ? 2 : 3.2;
    QPen pen(ink, state == State::Normal ? 1.7 : 1.4, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(inset, inset), QPointF(11 - inset, 11 - inset));
    painter.drawLine(QPointF(11 - inset, inset), QPointF(inset, 11 - inset));
    return image;
}

QImage lockButton(const QImage& bar, QPoint at, State state) {
    QImage image = cut(bar, at, QSize(12, 14));
    QPainter painter(&image);
    smooth(painter);
    if (state == State::Pointer)
        hoverGlow(painter, QRectF(0, 0, 12, 14));
    const QColor ink = toolInk(state);
    const QPointF o = pressOffset(state);
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(o + QPointF(3.2, 7));
    shackle.lineTo(o + QPointF(3.2, 4.4));
    shackle.arcTo(QRectF(o + QPointF(3.2, 1.2), QSizeF(5.6, 6.4)), 180, -180);
    shackle.lineTo(o + QPointF(8.8, 7));
    painter.drawPath(shackle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRoundedRect(QRectF(o + QPointF(1.5, 6.2), QSizeF(9, 7)), 1.5, 1.5);
    painter.setBrush(QColor(0xe8, 0xf3, 0xfc));
    painter.drawEllipse(o + QPointF(6, 9.2), 1.1, 1.1);
    painter.drawRect(QRectF(o + QPointF(5.5, 9.4), QSizeF(1, 2.2)));
    return image;
}

} // namespace

QImage drawToolbarBar() {
    QImage layer(BarSize, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter painter(&layer);
        smooth(painter);
        const QRectF body(0.5, 0.5, BarSize.width() - 1, BarSize.height() - 1);
        QPainterPath shape;
        shape.addRoundedRect(body, 7, 7);
        painter.fillPath(shape, vertical(body, QColor(colour::BarTop), QColor(colour::BarBottom)));
        painter.strokePath(shape, QPen(QColor(colour::BarEdge), 1));
        QPainterPath sheen;
        sheen.addRoundedRect(body.adjusted(1, 1, -1, -1), 6, 6);
        painter.save();
        painter.setClipRect(QRectF(0, 0, BarSize.width(), BarSize.height() / 2.0));
        painter.strokePath(sheen, QPen(QColor(255, 255, 255, 200), 1));
        painter.restore();
    }
    // The bar is shown through a colour key, which knows only "there" or "not there": the
    // half-covered edge pixels either become the key or take the rim's colour at full
    // strength, so no pink fringe is left around the corners.
    QImage bar(BarSize, QImage::Format_RGB32);
    const QImage straight = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x) {
            const QRgb pixel = straight.pixel(x, y);
            bar.setPixel(x, y, qAlpha(pixel) < 128 ? colour::Key : (pixel | 0xff000000u));
        }
    return bar;
}

QImage drawToolbarLogo(const QImage& storedBar) {
    QImage image = cut(storedBar, QPoint(2, 2), QSize(25, 25));
    QPainter painter(&image);
    smooth(painter);
    const QRectF tile(1.5, 1.5, 22, 22);
    QPainterPath shape;
    shape.addRoundedRect(tile, 5.5, 5.5);
    painter.fillPath(shape,
                     vertical(tile, QColor(colour::AccentLight), QColor(colour::AccentDeep)));
    painter.strokePath(shape, QPen(QColor(0x24, 0x6c, 0xb5), 1));
    painter.fillPath(beamedNotes(QRectF(6, 5.5, 13, 14)), Qt::white);
    return withoutKey(image);
}

QList<NamedPicture> drawToolbarButtons(const QImage& storedBar) {
    struct Dot {
        const char* name;
        QPoint at;
        QRgb from;
        QRgb to;
    };
    constexpr Dot Dots[] = {{"Blue", {94, 8}, 0xffa5daf7, 0xff468dcc},
                            {"Green", {128, 8}, 0xff7ff157, 0xff27ad13},
                            {"Red", {168, 8}, 0xfffecefc, 0xffe144cd},
                            {"White", {208, 8}, 0xfffbfbfa, 0xffcbcbcb},
                            {"Yellow", {240, 8}, 0xffff4400, 0xffffc800}};
    // The lock and lyric search buttons are hidden; they take the bar where nothing else is.
    const QPoint lockAt(150, 8);
    const QPoint searchAt(150, 4);

    QList<NamedPicture> pictures;
    const auto add = [&pictures](const QString& name, const QImage& image) {
        pictures.append({name, withoutKey(image)});
    };
    for (const auto& [state, suffix] : States) {
        const QString s = QString::fromLatin1(suffix);
        add(QStringLiteral("Delay1") + s, delayButton(storedBar, QPoint(54, 10), true, state));
        add(QStringLiteral("Delay2") + s, delayButton(storedBar, QPoint(30, 10), false, state));
        for (const auto& dot : Dots)
            add(QString::fromLatin1(dot.name) + s,
                colourDot(storedBar, dot.at, dot.from, dot.to, state));
        const int buttonHeight = state == State::Down ? 21 : 22;
        add(QStringLiteral("Set") + s,
            textButton(storedBar, QPoint(280, 4), QSize(41, buttonHeight), Emblem::Gear,
                       QStringLiteral("设置"), state));
        add(QStringLiteral("Sel") + s,
            textButton(storedBar, searchAt, QSize(59, buttonHeight), Emblem::Magnifier,
                       QStringLiteral("搜索歌词"), state));
        add(QStringLiteral("End") + s, closeButton(storedBar, QPoint(366, 10), state));
        add(QStringLiteral("Lock") + s, lockButton(storedBar, lockAt, state));
    }

    // One groove serves all three separator places: the bar does not change along its
    // length there.
    QImage separator = cut(storedBar, QPoint(78, 2), QSize(2, 24));
    {
        QPainter painter(&separator);
        QLinearGradient dark(0, 0.5, 0, 23.5);
        dark.setColorAt(0, QColor(0x8a, 0xb6, 0xda, 0));
        dark.setColorAt(0.25, QColor(0x8a, 0xb6, 0xda, 255));
        dark.setColorAt(0.75, QColor(0x8a, 0xb6, 0xda, 255));
        dark.setColorAt(1, QColor(0x8a, 0xb6, 0xda, 0));
        painter.fillRect(QRect(0, 0, 1, 24), dark);
        QLinearGradient light(0, 0.5, 0, 23.5);
        light.setColorAt(0, QColor(255, 255, 255, 0));
        light.setColorAt(0.25, QColor(255, 255, 255, 255));
        light.setColorAt(0.75, QColor(255, 255, 255, 255));
        light.setColorAt(1, QColor(255, 255, 255, 0));
        painter.fillRect(QRect(1, 0, 1, 24), light);
    }
    add(QStringLiteral("Separator"), separator);
    return pictures;
}

} // namespace skin
