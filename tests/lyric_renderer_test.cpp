#include "desktop_lyric/lyric_renderer.h"

#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
const QSize WindowSize(1920, 111);
constexpr int LayoutWidth = 1920;
const QString Block = QStringLiteral("█"); // a filled rectangle: edges and inside are known

LyricStyle latin(float size, QRgb first = Red, QRgb second = Blue) {
    return LyricStyle{QStringLiteral("DejaVu Sans"), size, first, second};
}

QRectF boundsOf(const QList<QPainterPath>& outlines) {
    QRectF bounds;
    for (const QPainterPath& outline : outlines)
        bounds |= outline.boundingRect();
    return bounds;
}

// The columns and rows that hold any visible pixel.
QRect inkOf(const QImage& picture) {
    QRect ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

bool isFullyTransparent(const QImage& picture) {
    return inkOf(picture).isNull();
}

int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

// Glyph tops within a line differ by less than half the font size; lines lie further apart.
QList<qreal> lineTops(const QList<QPainterPath>& outlines, float fontSize) {
    QList<qreal> tops;
    for (const QPainterPath& outline : outlines) {
        const qreal top = outline.boundingRect().top();
        if (std::none_of(tops.begin(), tops.end(),
                         [&](qreal t) { return std::abs(t - top) < fontSize / 2; }))
            tops << top;
    }
    return tops;
}

TEST(LyricGradient, TileRunsFromTheFirstColourUpperRightToTheSecondLowerLeft) {
    const QImage block = LyricRenderer::gradientBlock(Red, Blue);
    ASSERT_EQ(block.size(), QSize(480, 20));
    EXPECT_LE(channelDistance(block.pixel(239, 0), Red), 8);
    EXPECT_LE(channelDistance(block.pixel(0, 9), Blue), 8);
    // The other diagonal is the middle colour.
    const QRgb middle = qRgb(128, 0, 128);
    EXPECT_LE(channelDistance(block.pixel(0, 0), middle), 8);
    EXPECT_LE(channelDistance(block.pixel(239, 9), middle), 8);
}

TEST(LyricGradient, BlockMirrorsTheTileAcrossAndDown) {
    const QImage block = LyricRenderer::gradientBlock(0xFFA5DAF7, 0xFF468DCC);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 240; ++x) {
            ASSERT_EQ(block.pixel(479 - x, y), block.pixel(x, y)) << x << "," << y;
            ASSERT_EQ(block.pixel(x, 19 - y), block.pixel(x, y)) << x << "," << y;
        }
}

class LyricPictureOfABlock : public ::testing::Test {
protected:
    // A row of blocks as tall as the picture, wider than two gradient blocks.
    void SetUp() override {
        style = latin(400);
        outlines = LyricRenderer::glyphOutlines(text, style, LayoutWidth, WindowSize.height());
        picture = LyricRenderer::render(text, style, WindowSize, LayoutWidth);
        ASSERT_EQ(outlines.size(), 4);
        first = outlines.first().boundingRect();
        ASSERT_LE(first.top(), 0);
        ASSERT_GT(first.width(), 200);
    }

    const QString text = Block.repeated(4);
    LyricStyle style;
    QList<QPainterPath> outlines;
    QImage picture;
    QRectF first;
};

TEST_F(LyricPictureOfABlock, InsideTheGlyphsIsTheGradientRepeatedFromOneOne) {
    const QImage block = LyricRenderer::gradientBlock(Red, Blue);
    // Up to where the next block, which overlaps this one, draws its outline.
    const int left = int(std::ceil(first.left())) + 2;
    const int right = int(std::floor(outlines.at(1).boundingRect().left())) - 2;
    ASSERT_GT(right - left, 200);
    const int top = std::max(0, int(std::ceil(first.top())) + 2);
    const int bottom = std::min(WindowSize.height(), int(std::floor(first.bottom())) - 2);
    ASSERT_GT(bottom - top, 60);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ASSERT_EQ(picture.pixel(x, y), block.pixel((x - 1 + 480) % 480, (y - 1 + 20) % 20))
                << x << "," << y;
}

TEST_F(LyricPictureOfABlock, BothColoursShowAcrossTheGlyphs) {
    bool nearFirst = false;
    bool nearSecond = false;
    const QRectF all = boundsOf(outlines);
    for (int y = 2; y < WindowSize.height() - 2; ++y)
        for (int x = int(all.left()) + 3; x < int(all.right()) - 3; ++x) {
            nearFirst = nearFirst || channelDistance(picture.pixel(x, y), Red) <= 12;
            nearSecond = nearSecond || channelDistance(picture.pixel(x, y), Blue) <= 12;
        }
    EXPECT_TRUE(nearFirst);
    EXPECT_TRUE(nearSecond);
}

TEST_F(LyricPictureOfABlock, EdgesCarryADarkOutline) {
    // White fill, so anything darker at an edge is the outline.
    const QImage white =
        LyricRenderer::render(text, latin(400, 0xFFFFFFFF, 0xFFFFFFFF), WindowSize, LayoutWidth);
    const QRectF all = boundsOf(outlines);
    const int y = WindowSize.height() / 2;
    const int leftEdge = int(std::floor(all.left()));
    int darkest = 255;
    for (int x = leftEdge - 1; x <= leftEdge + 1; ++x)
        darkest = std::min(darkest, qRed(white.pixel(x, y)));
    EXPECT_LT(darkest, 200);
    EXPECT_EQ(white.pixel(leftEdge + 5, y), 0xFFFFFFFFu);
}

TEST_F(LyricPictureOfABlock, WithoutColoursOnlyTheShadowAndTheOutlineShow) {
    const QImage uncoloured =
        LyricRenderer::render(text, latin(400, 0, 0), WindowSize, LayoutWidth);
    const int y = WindowSize.height() / 2;
    const int inside = int(std::ceil(first.left())) + 10;
    EXPECT_EQ(uncoloured.pixel(inside, y), LyricRenderer::ShadowColour);
    // The left edge has no shadow under it: what shows there is the outline.
    const int leftEdge = int(std::floor(first.left()));
    int outline = 0;
    for (int x = leftEdge - 1; x <= leftEdge + 1; ++x)
        outline = std::max(outline, qAlpha(uncoloured.pixel(x, y)));
    EXPECT_GT(outline, 0x40);
    EXPECT_EQ(qRed(uncoloured.pixel(leftEdge, y)), 0);
}

TEST(LyricPictureShadow, TranslucentBlackTwoPixelsRightAndDown) {
    // The block's right edge lies anywhere within a pixel; one of two layout widths a
    // pixel apart shifts it so that a whole pixel column lies in the shadow alone.
    for (int width : {LayoutWidth, LayoutWidth - 1}) {
        const LyricStyle style = latin(60);
        const QList<QPainterPath> outlines =
            LyricRenderer::glyphOutlines(Block, style, width, WindowSize.height());
        ASSERT_EQ(outlines.size(), 1);
        const QRectF glyph = outlines.first().boundingRect();
        const double outlineEnd = glyph.right() + 0.5;
        const int column = int(std::ceil(outlineEnd));
        if (column + 1 > glyph.right() + LyricRenderer::ShadowOffset)
            continue;
        const QImage picture = LyricRenderer::render(Block, style, WindowSize, width);
        const int row = int(glyph.center().y());
        EXPECT_EQ(picture.pixel(column, row), LyricRenderer::ShadowColour);
        // Nothing two pixels beyond the shadow, nor left of and above the glyph.
        EXPECT_EQ(picture.pixel(int(std::ceil(glyph.right())) + 3, row), 0u);
        EXPECT_EQ(picture.pixel(int(std::floor(glyph.left())) - 2, row), 0u);
        const QRect ink = inkOf(picture);
        EXPECT_NEAR(ink.right(), glyph.right() + LyricRenderer::ShadowOffset, 1.0);
        EXPECT_NEAR(ink.bottom(), glyph.bottom() + LyricRenderer::ShadowOffset, 1.0);
        EXPECT_NEAR(ink.left(), glyph.left(), 1.5);
        return;
    }
    FAIL() << "no layout width left a pixel column in the shadow alone";
}

TEST(LyricPictureDensity, TwiceTheDensityKeepsTheLayoutInTwiceThePixels) {
    const QString text = QStringLiteral("Centred lyric line");
    const QRect single = inkOf(LyricRenderer::render(text, latin(50), WindowSize, LayoutWidth));
    const QImage picture = LyricRenderer::render(text, latin(50), WindowSize, LayoutWidth, 2);
    EXPECT_EQ(picture.size(), WindowSize * 2);
    EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(WindowSize));
    const QRect twice = inkOf(picture);
    EXPECT_NEAR(twice.left(), 2 * single.left(), 3);
    EXPECT_NEAR(twice.right(), 2 * single.right() + 1, 3);
    EXPECT_NEAR(twice.top(), 2 * single.top(), 3);
    EXPECT_NEAR(twice.bottom(), 2 * single.bottom() + 1, 3);
}

TEST(LyricPictureDensity, FillAndShadowKeepTheirLogicalSizesInDevicePixels) {
    const LyricStyle style = latin(60);
    const QList<QPainterPath> outlines =
        LyricRenderer::glyphOutlines(Block, style, LayoutWidth, WindowSize.height());
    ASSERT_EQ(outlines.size(), 1);
    const QRectF glyph = QTransform::fromScale(2, 2).mapRect(outlines.first().boundingRect());
    const QImage picture = LyricRenderer::render(Block, style, WindowSize, LayoutWidth, 2);

    // The 240×10 tile covers 480×20 device pixels, still from (1, 1).
    const QImage block = LyricRenderer::gradientBlock(Red, Blue, 2);
    ASSERT_EQ(block.size(), QSize(960, 40));
    const QImage logical = LyricRenderer::gradientBlock(Red, Blue);
    for (int y = 0; y < 20; y += 3)
        for (int x = 0; x < 480; x += 7)
            ASSERT_LE(channelDistance(block.pixel(2 * x + 1, 2 * y + 1), logical.pixel(x, y)), 8)
                << x << "," << y;
    const int top = std::max(0, int(std::ceil(glyph.top())) + 3);
    const int bottom = std::min(picture.height(), int(std::floor(glyph.bottom())) - 3);
    ASSERT_GT(bottom - top, 40);
    for (int y = top; y < bottom; ++y)
        for (int x = int(std::ceil(glyph.left())) + 3; x < int(std::floor(glyph.right())) - 3; ++x)
            ASSERT_EQ(picture.pixel(x, y), block.pixel((x - 2) % 960, (y - 2) % 40))
                << x << "," << y;

    // Two logical pixels of shadow are four device pixels; the outline covers one.
    const int row = int(glyph.center().y());
    EXPECT_EQ(picture.pixel(int(std::floor(glyph.right() + 0.5)) + 1, row),
              LyricRenderer::ShadowColour);
    EXPECT_EQ(picture.pixel(int(std::ceil(glyph.right())) + 5, row), 0u);
}

TEST(LyricPictureInk, BoxesAroundTheLinesHoldAllTheInk) {
    const struct {
        const char* name;
        QString text;
        LyricStyle style;
    } rows[] = {
        {"one line", QStringLiteral("HELLO desktop lyric"), latin(50)},
        {"wrapped", QStringLiteral("wrapping words ").repeated(30), latin(30)},
        {"chinese", QStringLiteral("桌面歌词"),
         LyricStyle{QStringLiteral("WenQuanYi Micro Hei"), 50.0f, Red, Blue}},
        {"larger than the window", QStringLiteral("lyric"), latin(300)},
    };
    for (const auto& row : rows) {
        for (qreal scale : {1.0, 2.0}) {
            SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(scale));
            const LyricRenderer::Drawing drawing =
                LyricRenderer::draw(row.text, row.style, WindowSize, LayoutWidth, scale);
            const qsizetype lines =
                lineTops(LyricRenderer::glyphOutlines(row.text, row.style, LayoutWidth,
                                                      WindowSize.height()),
                         row.style.fontSize)
                    .size();
            EXPECT_GE(drawing.inkBoxes.size(), 1);
            EXPECT_LE(drawing.inkBoxes.size(), lines);
            QRegion boxes;
            for (const QRect& box : drawing.inkBoxes)
                boxes += box;
            EXPECT_TRUE((boxes - drawing.image.rect()).isEmpty());
            const QImage& picture = drawing.image;
            int outside = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    outside += qAlpha(picture.pixel(x, y)) != 0 && !boxes.contains(QPoint(x, y));
            EXPECT_EQ(outside, 0);
        }
    }
    EXPECT_TRUE(LyricRenderer::draw(QStringLiteral("   "), latin(50), WindowSize, LayoutWidth, 2)
                    .inkBoxes.isEmpty());
}

TEST(LyricPictureLayout, TextIsCentredAcrossTheLayoutWidthFromTheTop) {
    const QString text = QStringLiteral("Centred lyric line");
    const QList<QPainterPath> outlines =
        LyricRenderer::glyphOutlines(text, latin(50), LayoutWidth, WindowSize.height());
    const QRectF bounds = boundsOf(outlines);
    EXPECT_NEAR(bounds.center().x(), LayoutWidth / 2.0, 4.0);
    EXPECT_GE(bounds.top(), 0);
    EXPECT_LT(bounds.top(), 20);
    const QRect ink = inkOf(LyricRenderer::render(text, latin(50), WindowSize, LayoutWidth));
    EXPECT_NEAR((ink.left() + ink.right()) / 2.0, LayoutWidth / 2.0 + 1, 4.0);
}

TEST(LyricPictureLayout, LayoutSpansTheScreenEvenInANarrowerPicture) {
    const QRect ink =
        inkOf(LyricRenderer::render(QStringLiteral("x"), latin(50), QSize(1000, 111), 3000));
    EXPECT_TRUE(ink.isNull()); // centred at 1500, outside a 1000-pixel picture
}

TEST(LyricPictureLayout, WiderTextWrapsOntoFurtherLinesInsideTheLayoutWidth) {
    const struct {
        const char* name;
        QString text;
        QString font;
    } rows[] = {
        {"words", QStringLiteral("wrapping words ").repeated(20), QStringLiteral("DejaVu Sans")},
        {"chinese without spaces", QStringLiteral("桌面歌词自动换行").repeated(12),
         QStringLiteral("WenQuanYi Micro Hei")},
        {"one long word", QStringLiteral("W").repeated(120), QStringLiteral("DejaVu Sans")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LyricStyle style{row.font, 30.0f, Red, Blue};
        const QList<QPainterPath> outlines =
            LyricRenderer::glyphOutlines(row.text, style, LayoutWidth, 1000);
        EXPECT_GE(lineTops(outlines, style.fontSize).size(), 2);
        const QRectF bounds = boundsOf(outlines);
        EXPECT_GE(bounds.left(), -1);
        EXPECT_LE(bounds.right(), LayoutWidth + 1);
    }
}

TEST(LyricPictureLayout, LineEndsInsideTheTextBreakTheLine) {
    for (const QString& text :
         {QStringLiteral("one\r\ntwo"), QStringLiteral("one\ntwo"), QStringLiteral("one\rtwo")}) {
        const QList<QPainterPath> outlines =
            LyricRenderer::glyphOutlines(text, latin(30), LayoutWidth, 1000);
        EXPECT_EQ(lineTops(outlines, 30).size(), 2);
    }
}

TEST(LyricPictureLayout, LinesBelowTheWindowAreCutOff) {
    const QString text = QStringLiteral("many lines of lyric text ").repeated(60);
    const LyricStyle style = latin(40);
    const QList<QPainterPath> all = LyricRenderer::glyphOutlines(text, style, LayoutWidth, 10000);
    const QList<QPainterPath> shown =
        LyricRenderer::glyphOutlines(text, style, LayoutWidth, WindowSize.height());
    EXPECT_GE(lineTops(all, style.fontSize).size(), 10);
    EXPECT_EQ(lineTops(shown, style.fontSize).size(), 3); // the third starts above the bottom
    EXPECT_LT(shown.size(), all.size());
    const QImage picture = LyricRenderer::render(text, style, WindowSize, LayoutWidth);
    EXPECT_EQ(picture.size(), WindowSize);
    EXPECT_EQ(inkOf(picture).bottom(), WindowSize.height() - 1); // a line runs off the bottom
}

TEST(LyricPictureInputs, NothingToDrawGivesATransparentPictureOfTheWindowsSize) {
    const struct {
        const char* name;
        QString text;
        float size;
    } rows[] = {
        {"empty text", QString(), 50.0f},
        {"size 0", QStringLiteral("lyric"), 0.0f},
        {"size under half a pixel", QStringLiteral("lyric"), 0.4f},
        {"negative size", QStringLiteral("lyric"), -50.0f},
        {"size not a number", QStringLiteral("lyric"), std::nanf("")},
        {"only spaces", QStringLiteral("     "), 50.0f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage picture =
            LyricRenderer::render(row.text, latin(row.size), WindowSize, LayoutWidth);
        EXPECT_EQ(picture.size(), WindowSize);
        EXPECT_EQ(picture.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_TRUE(isFullyTransparent(picture));
    }
}

TEST(LyricPictureInputs, HostileTextsAndSizesStillDrawWhatTheyCan) {
    const struct {
        const char* name;
        QString text;
        LyricStyle style;
    } rows[] = {
        {"font that does not exist", QStringLiteral("lyric"),
         LyricStyle{QStringLiteral("No Such Font Anywhere 7"), 50.0f, Red, Blue}},
        {"empty font name", QStringLiteral("lyric"), LyricStyle{QString(), 50.0f, Red, Blue}},
        {"font name of line ends and thousands of characters", QStringLiteral("lyric"),
         LyricStyle{QStringLiteral("Deja\r\nVu ").repeated(5000), 50.0f, Red, Blue}},
        {"larger than the window", QStringLiteral("lyric"), latin(300)},
        {"control characters", QStringLiteral("a\tb\x01\x7f c\u200b\uFFFD"), latin(50)},
        {"lone surrogate", QString(QChar(0xD800)) + QStringLiteral("lyric"), latin(50)},
        {"right to left", QStringLiteral("שלום עולם"), latin(50)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage picture = LyricRenderer::render(row.text, row.style, WindowSize, LayoutWidth);
        EXPECT_EQ(picture.size(), WindowSize);
        EXPECT_FALSE(isFullyTransparent(picture));
    }
}

TEST(LyricPictureInputs, SizesFarBeyondTheWindowShowWhatFallsInsideIt) {
    // The top of the first line is the empty space above the glyphs at such sizes.
    for (float size : {1e6f, 1e9f, INFINITY}) {
        const QImage picture =
            LyricRenderer::render(QStringLiteral("lyric"), latin(size), WindowSize, LayoutWidth);
        EXPECT_EQ(picture.size(), WindowSize);
        EXPECT_TRUE(isFullyTransparent(picture));
    }
}

TEST(LyricPictureInputs, AHugeLineShowsWhatFitsTheWindow) {
    const QString huge = QStringLiteral("长").repeated(2'000'000);
    const LyricStyle tiny{QStringLiteral("WenQuanYi Micro Hei"), 2.0f, Red, Blue};
    const QSize window(400, 40);
    const QImage picture = LyricRenderer::render(huge, tiny, window, window.width());
    EXPECT_FALSE(isFullyTransparent(picture));
    EXPECT_EQ(picture, LyricRenderer::render(huge.left(100'000), tiny, window, window.width()));
}

// Such lines once held the window up for seconds; the work is bounded by how much text is
// laid out and how many glyphs are outlined (their timing is in the renderer benchmark).
TEST(LyricPictureInputs, LinesOfManyTinyOrStackedGlyphsAreCutToWhatTheWindowCanShow) {
    const struct {
        const char* name;
        QString text;
        float size;
        qsizetype laidOutAtMost;
    } rows[] = {
        // A window full of size-1 glyphs holds more than the whole line.
        {"240k characters at size 1", QStringLiteral("lyric ").repeated(40'000), 1.0f, 240'000},
        {"240k characters at size 3", QStringLiteral("lyric ").repeated(40'000), 3.0f, 90'000},
        {"one letter under 100k accents", u'a' + QString(QChar(0x0301)).repeated(100'000), 50.0f,
         500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LyricStyle style = latin(row.size);
        const QString laidOut =
            LyricRenderer::visibleText(row.text, style, LayoutWidth, WindowSize.height());
        EXPECT_TRUE(row.text.startsWith(laidOut));
        EXPECT_LE(laidOut.size(), row.laidOutAtMost);
        const QList<QPainterPath> outlines =
            LyricRenderer::glyphOutlines(row.text, style, LayoutWidth, WindowSize.height());
        EXPECT_FALSE(outlines.isEmpty());
        EXPECT_LE(outlines.size(), LyricRenderer::MaxGlyphs);
    }
}

TEST(LyricPictureCache, DrawsOnlyWhenTheTextTheStyleOrTheSizeChangesAndAsIfFromNothing) {
    LyricPicture picture;
    EXPECT_TRUE(picture.isEmpty());
    const QString text = QStringLiteral("the same line every tick");
    LyricStyle style = latin(50);
    EXPECT_TRUE(picture.draw(text, style, WindowSize, LayoutWidth));
    const qint64 drawn = picture.image().cacheKey();
    for (int tick = 0; tick < 100; ++tick)
        EXPECT_FALSE(picture.draw(QString(text), style, WindowSize, LayoutWidth));
    EXPECT_EQ(picture.renderCount(), 1);
    EXPECT_EQ(picture.image().cacheKey(), drawn);

    LyricStyle font = style, size = style, first = style, second = style, tiny = style;
    font.fontName = QStringLiteral("DejaVu Serif");
    size.fontSize += 1;
    tiny.fontSize = 6;
    // More distinct glyphs than the outlines a picture keeps for the next drawing.
    QString manyGlyphs;
    for (char16_t c = 0x4E00; c < 0x4E00 + 700; ++c)
        manyGlyphs += QChar(c);
    first.firstColour ^= 1;
    second.secondColour ^= 1;
    const struct {
        QString text;
        LyricStyle style;
        QSize window;
        int layoutWidth;
        qreal scale = 1;
    } changes[] = {
        {text + u'!', style, WindowSize, LayoutWidth},
        {text, font, WindowSize, LayoutWidth},
        {text, size, WindowSize, LayoutWidth},
        {text, first, WindowSize, LayoutWidth},
        {text, second, WindowSize, LayoutWidth},
        {text, style, {1919, 111}, LayoutWidth},
        {text, style, WindowSize, 1919},
        {text, style, WindowSize, LayoutWidth, 2},
        {manyGlyphs, tiny, WindowSize, LayoutWidth},
    };
    // What a picture keeps from one drawing for the next never shows: each picture is the one
    // drawn from nothing.
    const auto drawnAfresh = [&](const QString& line, const LyricStyle& lineStyle, QSize window,
                                 int width, qreal scale) {
        return picture.image() == LyricRenderer::render(line, lineStyle, window, width, scale);
    };
    for (const auto& change : changes) {
        EXPECT_TRUE(picture.draw(change.text, change.style, change.window, change.layoutWidth,
                                 change.scale));
        EXPECT_TRUE(drawnAfresh(change.text, change.style, change.window, change.layoutWidth,
                                change.scale));
        EXPECT_FALSE(picture.draw(change.text, change.style, change.window, change.layoutWidth,
                                  change.scale));
        EXPECT_TRUE(picture.draw(text, style, WindowSize, LayoutWidth)); // back again
        EXPECT_TRUE(drawnAfresh(text, style, WindowSize, LayoutWidth, 1));
    }
    EXPECT_EQ(picture.renderCount(), 1 + 2 * int(std::size(changes)));
}

TEST(LyricPictureCache, AnEmptyWindowIsDrawnOnceToo) {
    EXPECT_TRUE(LyricRenderer::render(QStringLiteral("x"), latin(50), QSize(0, 0), 1920).isNull());
    LyricPicture picture;
    EXPECT_TRUE(picture.draw(QStringLiteral("x"), latin(50), QSize(0, 0), 1920));
    EXPECT_FALSE(picture.draw(QStringLiteral("x"), latin(50), QSize(0, 0), 1920));
    EXPECT_FALSE(picture.isEmpty());
}

} // namespace
