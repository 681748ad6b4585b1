#include "desktop_lyric/lyric_renderer.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace LyricRenderer {

namespace {

// Far above any window's height; bounds the work a hostile size can cause.
constexpr float MaxFontPixels = 16384.0f;

// How far outside the laid-out area a glyph may lie and still put its outline or its
// shadow into the picture.
constexpr qreal InkMargin = ShadowOffset + 2;

// Device pixels the outline and its smoothing reach beyond a glyph's outline.
constexpr qreal InkReach = 2;

// Beyond any screen's density; bounds the picture a hostile ratio could ask for.
constexpr qreal MaxScale = 16;

// a·b/255, rounded.
inline uint mul255(uint a, uint b) {
    const uint t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

inline QRgb scalePremultiplied(QRgb pixel, uint factor) {
    return qRgba(int(mul255(uint(qRed(pixel)), factor)), int(mul255(uint(qGreen(pixel)), factor)),
                 int(mul255(uint(qBlue(pixel)), factor)), int(mul255(uint(qAlpha(pixel)), factor)));
}

// A line end inside the text starts a new line, whichever convention it follows.
QString withLineSeparators(QString text) {
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\r', QChar::LineSeparator);
    text.replace(u'\n', QChar::LineSeparator);
    return text;
}

// The size the glyphs are drawn at, 0 when they cannot show (a size under half a pixel,
// or one that is not a number, which the negated comparison turns away too).
int pixelSizeOf(const LyricStyle& style) {
    if (!(style.fontSize >= 0.5f))
        return 0;
    return int(std::lround(std::min(style.fontSize, MaxFontPixels)));
}

// Fill over shadow, both taken from the glyphs' coverage (its alpha): the shadow is the coverage
// shifted down and right in translucent black, the fill is the gradient block through the
// coverage, repeated from the anchor. Compositing them here costs a fraction of filling the
// glyph path twice; only the area that can hold ink is visited.
void compositeFillOverShadow(QImage& picture, const QImage& coverage, const QImage& block,
                             int shadowOffset, QPoint anchor, const QRect& area) {
    const int blockWidth = block.width();
    const int blockHeight = block.height();
    const uint shadowAlpha = uint(qAlpha(ShadowColour));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* glyph = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        const auto* shadow =
            y >= shadowOffset
                ? reinterpret_cast<const QRgb*>(coverage.constScanLine(y - shadowOffset))
                : nullptr;
        const int blockRow = ((y - anchor.y()) % blockHeight + blockHeight) % blockHeight;
        const auto* gradient = reinterpret_cast<const QRgb*>(block.constScanLine(blockRow));
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        int blockColumn = ((area.left() - anchor.x()) % blockWidth + blockWidth) % blockWidth;
        for (int x = area.left(); x <= area.right(); ++x, ++blockColumn) {
            if (blockColumn == blockWidth)
                blockColumn = 0;
            const uint glyphCover = uint(qAlpha(glyph[x]));
            const uint shadowCover =
                shadow && x >= shadowOffset ? uint(qAlpha(shadow[x - shadowOffset])) : 0u;
            if ((glyphCover | shadowCover) == 0)
                continue;
            const QRgb fill = scalePremultiplied(gradient[blockColumn], glyphCover);
            const uint fillAlpha = uint(qAlpha(fill));
            const uint shade = mul255(shadowAlpha, shadowCover);
            const uint alpha = fillAlpha + mul255(shade, 255 - fillAlpha);
            // The shadow is black, so the colour channels are the fill's alone.
            out[x] = (alpha << 24) | (fill & 0x00FFFFFFu);
        }
    }
}

struct Glyphs {
    QList<QPainterPath> outlines;
    QList<QRectF> lineBoxes; // around the outlines of each line that kept any
};

Glyphs layOut(const QString& text, const LyricStyle& style, int layoutWidth, int maxHeight,
              Cache& cache) {
    Glyphs glyphs;
    const QString visible = visibleText(text, style, layoutWidth, maxHeight);
    if (visible.isEmpty())
        return glyphs;
    QFont font(style.fontName);
    font.setBold(true);
    font.setPixelSize(pixelSizeOf(style));

    QTextLayout layout(withLineSeparators(visible), font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal top = 0;
    while (top < maxHeight) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(layoutWidth);
        line.setPosition(QPointF(0, top));
        top += line.height();
    }
    layout.endLayout();

    // Glyph by glyph from the laid-out runs, so fallback fonts for characters the chosen
    // font lacks land exactly where the layout put them. A glyph's box is far cheaper than
    // its outline, so glyphs out of sight (marks stacked high above their letter) and
    // blanks are passed over before any outline is made.
    const QRectF inked =
        QRectF(0, 0, layoutWidth, maxHeight).adjusted(-InkMargin, -InkMargin, InkMargin, InkMargin);
    for (int l = 0; l < layout.lineCount() && glyphs.outlines.size() < MaxGlyphs; ++l) {
        QRectF lineBox;
        for (const QGlyphRun& run : layout.lineAt(l).glyphRuns()) {
            const QRawFont rawFont = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0;
                 i < indexes.size() && i < positions.size() && glyphs.outlines.size() < MaxGlyphs;
                 ++i) {
                if (!rawFont.boundingRect(indexes[i]).translated(positions[i]).intersects(inked))
                    continue;
                QPainterPath outline = cache.outline(rawFont, indexes[i]).translated(positions[i]);
                if (outline.isEmpty())
                    continue; // spaces
                outline.setFillRule(Qt::OddEvenFill);
                // The control points' box holds the outline's and costs no curve solving.
                lineBox |= outline.controlPointRect();
                glyphs.outlines << outline;
            }
        }
        if (!lineBox.isNull())
            glyphs.lineBoxes << lineBox;
    }
    return glyphs;
}

// Paints the glyphs into the picture, in its device pixels, and returns the boxes that hold
// their ink.
QList<QRect> paintGlyphs(QImage& picture, Glyphs glyphs, const LyricStyle& style, qreal scale,
                         Cache& cache) {
    const QTransform toPixels = QTransform::fromScale(scale, scale);
    for (QPainterPath& outline : glyphs.outlines)
        outline = toPixels.map(outline);
    const int shadowOffset = devicePixels(ShadowOffset, scale);

    // The outline reaches a pixel past the glyph's edge and its smoothing one more; the
    // shadow adds its offset down and right.
    QList<QRect> boxes;
    for (const QRectF& line : std::as_const(glyphs.lineBoxes)) {
        const QRect box =
            toPixels.mapRect(line)
                .adjusted(-InkReach, -InkReach, shadowOffset + InkReach, shadowOffset + InkReach)
                .toAlignedRect() &
            picture.rect();
        if (!box.isEmpty())
            boxes << box;
    }

    // The rasteriser fills many small paths far faster than one path holding them all,
    // which it cuts into bands and walks again for each. Each glyph being its own even-odd
    // path, where two glyphs overlap the overlap is filled solid instead of left open as one
    // even-odd path of the whole line would leave it: a known difference, kept for speed.
    QImage& coverage = cache.coverage(picture.size());
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPainterPath& outline : std::as_const(glyphs.outlines))
            painter.fillPath(outline, Qt::black);
    }
    const QImage& block = cache.block(style.firstColour, style.secondColour, scale);
    const QPoint anchor(devicePixels(GradientLeft, scale), devicePixels(GradientTop, scale));
    // Where boxes overlap, their pixels come out the same again.
    for (const QRect& box : std::as_const(boxes))
        compositeFillOverShadow(picture, coverage, block, shadowOffset, anchor, box);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen outlinePen(QColor::fromRgba(OutlineColour), 0); // cosmetic: one device pixel
    for (const QPainterPath& outline : std::as_const(glyphs.outlines))
        painter.strokePath(outline, outlinePen);
    return boxes;
}

} // namespace

QString visibleText(const QString& text, const LyricStyle& style, int layoutWidth, int maxHeight) {
    const int pixelSize = pixelSizeOf(style);
    if (pixelSize == 0 || layoutWidth <= 0 || maxHeight <= 0)
        return {};
    const double perLine = layoutWidth / (0.3 * pixelSize) + 1;
    const double lines = double(maxHeight) / pixelSize + 1;
    const double limit = perLine * lines;
    if (double(text.size()) <= limit)
        return text;
    qsizetype end = qsizetype(limit);
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

QList<QPainterPath> glyphOutlines(const QString& text, const LyricStyle& style, int layoutWidth,
                                  int maxHeight) {
    Cache cache;
    return layOut(text, style, layoutWidth, maxHeight, cache).outlines;
}

Drawing draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
             qreal scale) {
    Cache cache;
    return draw(text, style, size, layoutWidth, scale, cache);
}

Drawing draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth, qreal scale,
             Cache& cache) {
    // Also turns away a scale that is not a number.
    if (!(scale > 0 && scale <= MaxScale))
        scale = 1;
    Drawing drawing{QImage(size * scale, QImage::Format_ARGB32_Premultiplied), {}};
    drawing.image.fill(Qt::transparent);
    Glyphs glyphs = layOut(text, style, layoutWidth, size.height(), cache);
    if (!glyphs.outlines.isEmpty())
        drawing.inkBoxes = paintGlyphs(drawing.image, std::move(glyphs), style, scale, cache);
    // Only now: painters on a picture that carries a ratio would scale once more.
    drawing.image.setDevicePixelRatio(scale);
    return drawing;
}

} // namespace LyricRenderer

bool LyricPicture::isDrawingOf(const QString& text, const LyricStyle& style, QSize size,
                               int layoutWidth, qreal scale) const {
    return hasGlyphsOf(text, style, size, layoutWidth, scale) && style == style_;
}

bool LyricPicture::hasGlyphsOf(const QString& text, const LyricStyle& style, QSize size,
                               int layoutWidth, qreal scale) const {
    return drawn_ && text == text_ && style.fontName == style_.fontName &&
           style.fontSize == style_.fontSize && size == size_ && layoutWidth == layoutWidth_ &&
           scale == scale_;
}

bool LyricPicture::draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth,
                        qreal scale) {
    if (isDrawingOf(text, style, size, layoutWidth, scale))
        return false;
    text_ = text;
    style_ = style;
    size_ = size;
    layoutWidth_ = layoutWidth;
    scale_ = scale;
    drawing_ = LyricRenderer::draw(text, style, size, layoutWidth, scale, cache_);
    drawn_ = true;
    ++renderCount_;
    return true;
}
