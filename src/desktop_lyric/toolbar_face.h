#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRect>

// The desktop lyric toolbar's face: what the bar shows, as one picture of its window. Every
// pixel of exactly the key colour, in the bar's pictures or where the bar does not reach,
// lets the desktop show through and the pointer through to what lies beneath.
namespace ToolbarFace {

inline constexpr QRgb ColourKey = qRgb(255, 0, 255);

struct Button {
    QPoint at; // within the bar
    QSize size;
    QPixmap picture; // shown no larger than the button
};

struct Bar {
    QRect geometry; // within the window
    QColor background;
    QPixmap picture;
    QList<Button> buttons; // from back to front
};

// The face of a window of size: the key colour, and within the bar its background, its
// picture and its buttons' pictures.
QImage compose(QSize size, const Bar& bar);

} // namespace ToolbarFace
