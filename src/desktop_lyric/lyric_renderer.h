#pragma once

#include "desktop_lyric/lyric_drawing_cache.h"
#include "desktop_lyric/lyric_gradient.h"

#include <QImage>
#include <QPainterPath>
#include <QString>

// What the desktop lyric's picture depends on besides its text.
struct LyricStyle {
    QString fontName;
    float fontSize = 0.0f;    // pixels
    quint32 firstColour = 0;  // ARGB, start of the fill gradient
    quint32 secondColour = 0; // ARGB, end of the fill gradient
    bool operator==(const LyricStyle&) const = default;
};

// Turns a lyric line into the desktop lyric's picture: bold glyphs centred across the
// layout width, wrapped onto further lines when wider, filled with the mirrored diagonal
// gradient of the two colours, outlined one pixel dark, over a translucent black shadow
// two pixels down and right; fully transparent everywhere else.
//
// Sizes, positions and the layout are in logical pixels. The picture itself is made at a
// scale, the screen's device pixels per logical one, so that a high-density screen shows
// the glyphs' true edges instead of blocks of several pixels; only the outline stays one
// device pixel, the thinnest line the screen can show.
namespace LyricRenderer {

inline constexpr QRgb ShadowColour = 0xC0000000;
inline constexpr QRgb OutlineColour = 0xC0000000;
inline constexpr int ShadowOffset = 2;

// Far more than a window of legible lines holds; a path and a fill per glyph beyond it
// would only add dots too small to read.
inline constexpr qsizetype MaxGlyphs = 4096;

// The part of the text that is laid out: its first characters, as many as could find a
// place in a picture maxHeight high (no glyph that advances is narrower than about 0.3 of
// the font size, nor a line lower than the size). The rest is never shaped: a hostile line
// of hundreds of thousands of characters, or of marks that pile up on one letter without
// advancing, would otherwise hold the window up for seconds. Empty when nothing can show.
QString visibleText(const QString& text, const LyricStyle& style, int layoutWidth, int maxHeight);

// The outlines of the visible text's glyphs, one path per glyph, placed as in the picture:
// bold, the font size in pixels, lines centred across the layout width from the top down.
// Lines that start at or below maxHeight, and glyphs wholly outside the layout width and
// maxHeight, are left out: they could not show. MaxGlyphs at most, so a line of countless
// tiny characters shows only its beginning.
QList<QPainterPath> glyphOutlines(const QString& text, const LyricStyle& style, int layoutWidth,
                                  int maxHeight);

// A picture and, in its pixels, a box around the ink of each laid-out line: a handful of
// rectangles that hold every pixel that is not fully transparent.
struct Drawing {
    QImage image;
    QList<QRect> inkBoxes;
};

// The whole picture, premultiplied ARGB of the given logical size times the scale, which
// it carries as its device pixel ratio. A text that yields no glyphs (empty, a font size
// under half a pixel) gives a fully transparent picture and no boxes.
Drawing draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
             qreal scale = 1);
Drawing draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth, qreal scale,
             Cache& cache);
inline QImage render(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
                     qreal scale = 1) {
    return draw(text, style, size, layoutWidth, scale).image;
}

} // namespace LyricRenderer

// The picture of the last drawing. The lyric window is handed the same line a hundred
// times a second, so a drawing that would come out identical keeps the picture it has.
class LyricPicture {
public:
    // Returns whether the picture changed.
    bool draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
              qreal scale = 1);

    // Whether the picture already is the drawing of these.
    bool isDrawingOf(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
                     qreal scale = 1) const;

    // Whether its glyphs are those of these, whatever their colours: where it has ink.
    bool hasGlyphsOf(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
                     qreal scale = 1) const;

    const QImage& image() const { return drawing_.image; }
    const QList<QRect>& inkBoxes() const { return drawing_.inkBoxes; }
    bool isEmpty() const { return !drawn_; }
    int renderCount() const { return renderCount_; }

private:
    bool drawn_ = false;
    QString text_;
    LyricStyle style_;
    QSize size_;
    int layoutWidth_ = 0;
    qreal scale_ = 1;
    LyricRenderer::Drawing drawing_;
    LyricRenderer::Cache cache_;
    int renderCount_ = 0;
};
