#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

constexpr QRgb Key = 0xffff00ff;

QString resource(const QString& file) {
    return QStringLiteral(":/skin/") + file;
}

QByteArray bytesOf(const QString& file) {
    QFile stored(resource(file));
    return stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray();
}

// Bits per pixel as the BMP file itself records them (Qt converts on loading).
int storedBmpDepth(const QString& file) {
    const QByteArray bytes = bytesOf(file);
    if (bytes.size() < 30 || !bytes.startsWith("BM"))
        return 0;
    return qFromLittleEndian<quint16>(bytes.constData() + 28);
}

struct Expected {
    QString name;
    QSize size;
    int depth;
};

// Every BMP of the skin with its design size and depth.
std::vector<Expected> expectedBitmaps() {
    std::vector<Expected> expected = {
        {QStringLiteral("Picture1"), {328, 98}, 32}, {QStringLiteral("Picture2"), {328, 73}, 32},
        {QStringLiteral("Picture3"), {328, 55}, 24}, {QStringLiteral("Picture4"), {328, 73}, 32},
        {QStringLiteral("Pic"), {389, 30}, 8},       {QStringLiteral("Separator"), {2, 24}, 24},
    };
    const QString states[] = {QStringLiteral("Nor"), QStringLiteral("Poi"), QStringLiteral("Down")};
    for (const QString& state : states) {
        const bool down = state == QStringLiteral("Down");
        const bool pointer = state == QStringLiteral("Poi");
        expected.push_back({QStringLiteral("Delay1") + state, {12, 11}, 24});
        expected.push_back({QStringLiteral("Delay2") + state, {12, 11}, 24});
        for (const char* dot : {"Blue", "Green", "Red", "White", "Yellow"})
            expected.push_back(
                {QString::fromLatin1(dot) + state, pointer ? QSize(16, 16) : QSize(14, 14), 24});
        expected.push_back({QStringLiteral("Set") + state, {41, down ? 21 : 22}, 24});
        expected.push_back({QStringLiteral("End") + state, {11, 11}, 24});
        expected.push_back({QStringLiteral("Lock") + state, {12, 14}, 24});
        expected.push_back({QStringLiteral("Sel") + state, {59, down ? 21 : 22}, 24});
    }
    return expected;
}

class Skin : public ::testing::Test {
protected:
    static QImage load(const QString& file) {
        return QImage(resource(file)).convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(Skin, EveryPictureLoadsAtItsDesignSizeAndDepthAndNothingElseIsListed) {
    QStringList listed = QDir(QStringLiteral(":/skin")).entryList(QDir::Files);
    for (const auto& [name, size, depth] : expectedBitmaps()) {
        const QString file = name + QStringLiteral(".bmp");
        const QImage image(resource(file));
        ASSERT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_EQ(image.size(), size) << file.toStdString();
        EXPECT_EQ(storedBmpDepth(file), depth) << file.toStdString();
        listed.removeOne(file);
    }

    QImageReader logo(resource(QStringLiteral("Image1.gif")));
    EXPECT_EQ(logo.format(), "gif");
    EXPECT_EQ(logo.read().size(), QSize(25, 25));
    listed.removeOne(QStringLiteral("Image1.gif"));
    listed.removeOne(QStringLiteral("icon.ico"));
    EXPECT_TRUE(listed.isEmpty()) << listed.join(QLatin1Char(' ')).toStdString();
}

// The strips' click areas are invisible; the only thing telling a user where to click is
// the face drawn there. Columns outside every area must show the plain strip, and every
// area must carry a face reaching from near its left edge to near its right edge.
struct Range {
    int left;
    int right; // exclusive
};

void expectFacesExactlyOnAreas(const QImage& strip, const std::vector<Range>& areas) {
    constexpr int ShownRows = 22;
    constexpr int PlainColumn = 1;
    const auto plain = [&strip](int x) {
        for (int y = 0; y < ShownRows; ++y)
            if (strip.pixel(x, y) != strip.pixel(PlainColumn, y))
                return false;
        return true;
    };
    for (int x = 0; x < strip.width(); ++x) {
        const bool inArea = std::any_of(areas.begin(), areas.end(), [x](Range area) {
            return x >= area.left && x < area.right;
        });
        if (!inArea) {
            EXPECT_TRUE(plain(x)) << "face drawn outside every click area at x " << x;
        }
    }
    for (const Range area : areas) {
        EXPECT_FALSE(plain(area.left + 3)) << "area " << area.left;
        EXPECT_FALSE(plain((area.left + area.right) / 2)) << "area " << area.left;
        EXPECT_FALSE(plain(area.right - 4)) << "area " << area.left;
    }
}

TEST_F(Skin, ButtonFacesSitOnTheClickAreasOfBothStrips) {
    expectFacesExactlyOnAreas(
        load(QStringLiteral("Picture4.bmp")),
        {{8, 41}, {40, 73}, {80, 105}, {112, 153}, {160, 201}, {208, 257}, {264, 321}});
    expectFacesExactlyOnAreas(
        load(QStringLiteral("Picture2.bmp")),
        {{8, 33}, {56, 81}, {104, 129}, {152, 177}, {200, 225}, {248, 273}, {296, 321}});
}

TEST_F(Skin, LyricStripKeepsTheTextAreaLightAndCalmForBlackText) {
    const QImage strip = load(QStringLiteral("Picture3.bmp"));
    int darkest = 255;
    int lightest = 0;
    for (int y = 8; y < 40; ++y)
        for (int x = 16; x < 313; ++x) {
            const int lightness = qGray(strip.pixel(x, y));
            darkest = std::min(darkest, lightness);
            lightest = std::max(lightest, lightness);
        }
    EXPECT_GE(darkest, 170);
    EXPECT_LE(lightest - darkest, 40);
}

TEST_F(Skin, ToolbarBarIsSeeThroughOnlyAtItsRoundedCornersAndExactlyMagentaThere) {
    const QImage bar = load(QStringLiteral("Pic.bmp"));
    const int right = bar.width() - 1;
    const int bottom = bar.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom),
                                QPoint(right, bottom), QPoint(1, 1), QPoint(right - 1, 1)})
        EXPECT_EQ(bar.pixel(corner), Key) << corner.x() << ',' << corner.y();
    for (const QPoint edge :
         {QPoint(0, 15), QPoint(right, 15), QPoint(194, 0), QPoint(194, bottom), QPoint(194, 15)})
        EXPECT_NE(bar.pixel(edge), Key) << edge.x() << ',' << edge.y();
    // Near-magenta left by smoothing would show as a pink fringe once the key is cut out.
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x) {
            const QRgb pixel = bar.pixel(x, y);
            const bool pinkish = qRed(pixel) > 200 && qBlue(pixel) > 200 && qGreen(pixel) < 120;
            if (pinkish) {
                ASSERT_EQ(pixel, Key) << x << ',' << y;
            }
        }
    const QRgb middle = bar.pixel(194, 15);
    EXPECT_GE(qGray(middle), 200);
    EXPECT_GT(qBlue(middle), qRed(middle));
}

// Each button picture covers a piece of the bar; where its face does not reach, it must be
// the bar itself or a visible box appears around the button. The hidden buttons are placed
// vertically centred where the bar is plain.
TEST_F(Skin, ToolbarButtonsBlendWithTheBarAndNeverUseTheKeyColour) {
    const QImage bar = load(QStringLiteral("Pic.bmp"));
    const std::map<QString, QPoint> places = {
        {QStringLiteral("Image1"), {2, 2}},   {QStringLiteral("Separator"), {78, 2}},
        {QStringLiteral("Delay2"), {30, 10}}, {QStringLiteral("Delay1"), {54, 10}},
        {QStringLiteral("Blue"), {94, 8}},    {QStringLiteral("Green"), {128, 8}},
        {QStringLiteral("Red"), {168, 8}},    {QStringLiteral("White"), {208, 8}},
        {QStringLiteral("Yellow"), {240, 8}}, {QStringLiteral("Set"), {280, 4}},
        {QStringLiteral("End"), {366, 10}},   {QStringLiteral("Lock"), {150, 8}},
        {QStringLiteral("Sel"), {150, 4}},
    };
    std::vector<QString> files = {QStringLiteral("Image1.gif"), QStringLiteral("Separator.bmp")};
    for (const auto& expected : expectedBitmaps())
        if (expected.name.endsWith(QStringLiteral("Nor")) ||
            expected.name.endsWith(QStringLiteral("Poi")) ||
            expected.name.endsWith(QStringLiteral("Down")))
            files.push_back(expected.name + QStringLiteral(".bmp"));

    for (const QString& file : files) {
        const QImage picture = load(file);
        ASSERT_FALSE(picture.isNull()) << file.toStdString();
        QString base = file.section(QLatin1Char('.'), 0, 0);
        for (const char* state : {"Nor", "Poi", "Down"})
            if (base.endsWith(QString::fromLatin1(state)))
                base.chop(static_cast<int>(qstrlen(state)));
        const QPoint at = places.at(base);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                ASSERT_NE(picture.pixel(x, y), Key) << file.toStdString();
        const int right = picture.width() - 1;
        const int bottom = picture.height() - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
            EXPECT_EQ(picture.pixel(corner), bar.pixel(at + corner))
                << file.toStdString() << " at " << corner.x() << ',' << corner.y();
    }
}

TEST_F(Skin, IconHoldsNineImagesAtThreeSizesAndThreeDepthsWithMasks) {
    const QString file = resource(QStringLiteral("icon.ico"));
    QImageReader reader(file, "ico");
    ASSERT_EQ(reader.imageCount(), 9);

    // The directory records each entry's depth; Qt hands every entry back as ARGB.
    const QByteArray bytes = bytesOf(QStringLiteral("icon.ico"));
    ASSERT_GE(bytes.size(), 6 + 9 * 16);
    std::map<int, std::vector<int>> depthsBySize;
    for (int entry = 0; entry < 9; ++entry) {
        const char* directory = bytes.constData() + 6 + entry * 16;
        const int size = static_cast<unsigned char>(directory[0]);
        depthsBySize[size].push_back(qFromLittleEndian<quint16>(directory + 6));
    }
    for (auto& [size, depths] : depthsBySize)
        std::sort(depths.begin(), depths.end());
    const std::map<int, std::vector<int>> expected = {
        {16, {4, 8, 32}}, {32, {4, 8, 32}}, {48, {4, 8, 32}}};
    EXPECT_EQ(depthsBySize, expected);

    for (int index = 0; index < 9; ++index) {
        ASSERT_TRUE(reader.jumpToImage(index));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << index;
        ASSERT_TRUE(image.width() == 16 || image.width() == 32 || image.width() == 48);
        EXPECT_EQ(image.height(), image.width());
        // A rounded tile: see-through in the corner, solid in the middle.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << index;
        const int middle = image.width() / 2;
        EXPECT_EQ(qAlpha(image.pixel(middle, middle)), 255) << index;
    }
}

} // namespace
