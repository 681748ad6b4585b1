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

constexpr int BlockWidth = 2 * GradientTileWidth;
constexpr int BlockHeight = 2 * GradientTileHeight;

// Far above any window's height; bounds the work a hostile size can cause.
constexpr float MaxFontPixels = 16384.0f;

// How far outside the laid-out area a glyph may lie and still put its outline or its
// shadow into the picture.
constexpr qreal InkMargin = ShadowOffset + 2;

// a·b/255, rounded.
inline uint mul255(uint a, uint b) {
    const uint t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

inline QRgb scalePremultiplied(QRgb pixel, uint factor) {
    return qRgba(int(mul255(uint(qRed(pixel)), factor)), int(mul255(uint(qGreen(pixel)), factor)),
                 int(mul255(uint(qBlue(pixel)), factor)), int(mul255(uint(qAlpha(pixel)), factor)));
}

inline int lerpChannel(int from, int to, double t) {
    return int(std::lround(from + (to - from) * t));
}

QRgb mix(quint32 from, quint32 to, double t) {
    return qRgba(lerpChannel(qRed(from), qRed(to), t), lerpChannel(qGreen(from), qGreen(to), t),
                 lerpChannel(qBlue(from), qBlue(to), t), lerpChannel(qAlpha(from), qAlpha(to), t));
}

// Where in the tile the centre of a block pixel falls, as a fraction of the tile's side;
// the second half of the block mirrors the first.
double tileFraction(int blockPixel, int tileSide) {
    double centre = blockPixel + 0.5;
    if (centre > tileSide)
        centre = 2.0 * tileSide - centre;
    return centre / tileSide;
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
// two pixels down and right in translucent black, the fill is the gradient block through the
// coverage. Compositing them here costs a fraction of filling the glyph path twice.
void compositeFillOverShadow(QImage& picture, const QImage& coverage, const QImage& block) {
    const int width = picture.width();
    const uint shadowAlpha = uint(qAlpha(ShadowColour));
    for (int y = 0; y < picture.height(); ++y) {
        const auto* glyph = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        const auto* shadow =
            y >= ShadowOffset
                ? reinterpret_cast<const QRgb*>(coverage.constScanLine(y - ShadowOffset))
                : nullptr;
        const int blockRow = ((y - GradientTop) % BlockHeight + BlockHeight) % BlockHeight;
        const auto* gradient = reinterpret_cast<const QRgb*>(block.constScanLine(blockRow));
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        int blockColumn = ((0 - GradientLeft) % BlockWidth + BlockWidth) % BlockWidth;
        for (int x = 0; x < width; ++x, ++blockColumn) {
            if (blockColumn == BlockWidth)
                blockColumn = 0;
            const uint glyphCover = uint(qAlpha(glyph[x]));
            const uint shadowCover =
                shadow && x >= ShadowOffset ? uint(qAlpha(shadow[x - ShadowOffset])) : 0u;
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

} // namespace

QImage gradientBlock(quint32 firstColour, quint32 secondColour) {
    QImage block(BlockWidth, BlockHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < BlockHeight; ++y) {
        const double down = tileFraction(y, GradientTileHeight);
        auto* row = reinterpret_cast<QRgb*>(block.scanLine(y));
        for (int x = 0; x < BlockWidth; ++x) {
            const double across = tileFraction(x, GradientTileWidth);
            // 0 at the upper-right corner, 1 at the lower-left, ½ on the other diagonal.
            const double t = (1.0 - across + down) / 2.0;
            row[x] = qPremultiply(mix(firstColour, secondColour, t));
        }
    }
    return block;
}

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
    QList<QPainterPath> outlines;
    const QString visible = visibleText(text, style, layoutWidth, maxHeight);
    if (visible.isEmpty())
        return outlines;
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
    for (int l = 0; l < layout.lineCount() && outlines.size() < MaxGlyphs; ++l) {
        for (const QGlyphRun& run : layout.lineAt(l).glyphRuns()) {
            const QRawFont rawFont = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
                if (outlines.size() == MaxGlyphs)
                    return outlines;
                if (!rawFont.boundingRect(glyphs[i]).translated(positions[i]).intersects(inked))
                    continue;
                QPainterPath outline = rawFont.pathForGlyph(glyphs[i]).translated(positions[i]);
                if (outline.isEmpty())
                    continue; // spaces
                outline.setFillRule(Qt::OddEvenFill);
                outlines << outline;
            }
        }
    }
    return outlines;
}

QImage render(const QString& text, const LyricStyle& style, QSize size, int layoutWidth) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    const QList<QPainterPath> outlines = glyphOutlines(text, style, layoutWidth, size.height());
    if (outlines.isEmpty())
        return picture;

    // The rasteriser fills many small paths far faster than one path holding them all,
    // which it cuts into bands and walks again for each. Each glyph being its own even-odd
    // path, where two glyphs overlap the overlap is filled solid instead of left open as one
    // even-odd path of the whole line would leave it: a known difference, kept for speed.
    QImage coverage(size, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const QPainterPath& outline : outlines)
            painter.fillPath(outline, Qt::black);
    }
    compositeFillOverShadow(picture, coverage,
                            gradientBlock(style.firstColour, style.secondColour));

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen outlinePen(QColor::fromRgba(OutlineColour), 0); // cosmetic: one pixel
    for (const QPainterPath& outline : outlines)
        painter.strokePath(outline, outlinePen);
    return picture;
}

} // namespace LyricRenderer

bool LyricPicture::draw(const QString& text, const LyricStyle& style, QSize size, int layoutWidth) {
    if (drawn_ && text == text_ && style == style_ && size == size_ && layoutWidth == layoutWidth_)
        return false;
    text_ = text;
    style_ = style;
    size_ = size;
    layoutWidth_ = layoutWidth;
    image_ = LyricRenderer::render(text, style, size, layoutWidth);
    drawn_ = true;
    ++renderCount_;
    return true;
}
