#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace skin {

// One palette for the whole skin: a deep night-blue body with a cyan accent for the main
// window, and the pale sky blue of the desktop lyric toolbar, which shares the accent's hue.
namespace colour {
inline constexpr QRgb Ink = 0xff0a0e17;
inline constexpr QRgb PanelTop = 0xff1c2536;
inline constexpr QRgb PanelBottom = 0xff121826;
inline constexpr QRgb PanelEdgeLight = 0xff2e3c58;
inline constexpr QRgb PanelEdgeDark = 0xff06090f;
inline constexpr QRgb FaceTop = 0xff2c3954;
inline constexpr QRgb FaceBottom = 0xff1c2538;
inline constexpr QRgb FaceEdge = 0xff3b4c6e;
inline constexpr QRgb Glyph = 0xffdbe7f7;
inline constexpr QRgb AccentLight = 0xff86def8;
inline constexpr QRgb Accent = 0xff4cb8ec;
inline constexpr QRgb AccentDeep = 0xff2b7fd0;
inline constexpr QRgb Warm = 0xfff0837f;

inline constexpr QRgb BarTop = 0xfff5fbff;
inline constexpr QRgb BarBottom = 0xffcde4f6;
inline constexpr QRgb BarEdge = 0xff86b6dc;
inline constexpr QRgb ToolGlyph = 0xff3a72aa;
inline constexpr QRgb ToolGlyphHot = 0xff1687df;
inline constexpr QRgb ToolGlyphDown = 0xff24527f;

// The see-through key of the toolbar bar; nothing else may use it.
inline constexpr QRgb Key = 0xffff00ff;
} // namespace colour

QLinearGradient vertical(const QRectF& area, QColor top, QColor bottom);

// A painter with antialiasing on, the way every picture is drawn.
void smooth(QPainter& painter);

// Pixel-size fonts keep the pictures the same whatever resolution the font system assumes.
QFont pixelFont(const QString& family, int pixels, int weight = QFont::Normal);
QString cjkFamily();

// Two beamed eighth notes filling box; the motif of the logo and the program icon.
QPainterPath beamedNotes(const QRectF& box);

// A circular arrow loop around centre, the sign of repeating.
void drawLoop(QPainter& painter, QPointF centre, QColor ink, qreal width, qreal height);

// Fills path in ink, its sharp tips rounded slightly.
void fillRounded(QPainter& painter, const QPainterPath& path, QColor ink);

} // namespace skin
