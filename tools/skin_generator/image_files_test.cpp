#include "colour_reduction.h"
#include "image_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// Deterministic noise: neighbouring pixels rarely repeat, which is what makes the GIF
// encoder's dictionary fill up, widen its codes and start over.
class Noise {
public:
    int next(int below) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<unsigned>(below));
    }

private:
    unsigned state_ = 2024;
};

QImage noiseImage(QSize size) {
    Noise noise;
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(noise.next(256), noise.next(256), noise.next(256)));
    return image;
}

QImage indexedNoise(QSize size, int colours) {
    QList<QRgb> palette;
    for (int index = 0; index < colours; ++index)
        palette.append(qRgb(index, 255 - index, (index * 37) % 256));
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable(palette);
    Noise noise;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, static_cast<uint>(noise.next(colours)));
    return image;
}

bool sameColours(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

class ImageFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    static QByteArray bytesOf(const QString& file) {
        QFile stored(file);
        return stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray();
    }
    QTemporaryDir folder;
};

TEST_F(ImageFiles, BmpKeepsEveryPixelAtEachDepthWithOddWidthsPadded) {
    const QImage colour = noiseImage(QSize(37, 13));
    for (const int bits : {24, 32}) {
        ASSERT_TRUE(skin::writeBmp(path("colour.bmp"), colour, bits));
        EXPECT_EQ(qFromLittleEndian<quint16>(bytesOf(path("colour.bmp")).constData() + 28), bits);
        EXPECT_TRUE(sameColours(QImage(path("colour.bmp")), colour)) << bits;
    }
    const QImage indexed = indexedNoise(QSize(37, 13), 200);
    ASSERT_TRUE(skin::writeBmp(path("indexed.bmp"), indexed, 8));
    const QImage read(path("indexed.bmp"));
    EXPECT_EQ(read.format(), QImage::Format_Indexed8);
    EXPECT_TRUE(sameColours(read, indexed));
}

TEST_F(ImageFiles, BmpRefusesDepthsItCannotStoreFaithfully) {
    EXPECT_FALSE(skin::writeBmp(path("a.bmp"), noiseImage(QSize(4, 4)), 8));
    EXPECT_FALSE(skin::writeBmp(path("b.bmp"), noiseImage(QSize(4, 4)), 16));
}

TEST_F(ImageFiles, GifReadsBackIdenticallyWhateverTheDictionaryDoes) {
    // Noise large enough to pass 4096 dictionary entries; long runs, where a code is used
    // in the same step that defines it; and a single pixel.
    QImage runs(300, 40, QImage::Format_Indexed8);
    runs.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    for (int y = 0; y < runs.height(); ++y)
        for (int x = 0; x < runs.width(); ++x)
            runs.setPixel(x, y, x * y % 97 == 0 ? 1u : 0u);
    QImage single(1, 1, QImage::Format_Indexed8);
    single.setColorTable({qRgb(1, 2, 3)});
    single.setPixel(0, 0, 0);

    for (const QImage& image : {indexedNoise(QSize(160, 120), 256), runs, single}) {
        ASSERT_TRUE(skin::writeGif(path("picture.gif"), image));
        QImageReader reader(path("picture.gif"));
        EXPECT_EQ(reader.format(), "gif");
        const QImage read = reader.read();
        ASSERT_FALSE(read.isNull()) << reader.errorString().toStdString();
        EXPECT_TRUE(sameColours(read, image)) << image.width() << 'x' << image.height();
    }
    EXPECT_FALSE(skin::writeGif(path("rgb.gif"), noiseImage(QSize(4, 4))));
}

TEST_F(ImageFiles, ColourReductionKeepsFewColoursExactlyAndApproximatesMany) {
    QImage few(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            few.setPixel(x, y, x < 4 ? qRgb(255, 0, 255) : qRgb(y * 30, 90, 200));
    const QImage exact = skin::toIndexed(few, 16);
    EXPECT_LE(exact.colorTable().size(), 16);
    EXPECT_TRUE(sameColours(exact, few));

    QImage ramp(256, 4, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 4; ++y)
            ramp.setPixel(x, y, qRgb(x, x / 2, 255 - x));
    const QImage reduced = skin::toIndexed(ramp, 16);
    EXPECT_LE(reduced.colorTable().size(), 16);
    int worst = 0;
    for (int x = 0; x < 256; ++x) {
        const QRgb got = reduced.pixel(x, 0);
        worst = std::max({worst, std::abs(qRed(got) - x), std::abs(qBlue(got) - (255 - x))});
    }
    // Sixteen entries over a 256-step ramp: each should cover about sixteen steps.
    EXPECT_LE(worst, 12);
}

TEST_F(ImageFiles, ColourReductionGivesSeeThroughPixelsBlackEntryZero) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(250, 250, 250, 100));
    image.setPixel(2, 0, qRgba(250, 250, 250, 255));
    image.setPixel(3, 0, qRgba(0, 0, 0, 255));
    const QImage indexed = skin::toIndexed(image, 16);
    EXPECT_EQ(indexed.colorTable().value(0), qRgb(0, 0, 0));
    EXPECT_EQ(indexed.pixelIndex(0, 0), 0);
    EXPECT_EQ(indexed.pixelIndex(1, 0), 0);
    EXPECT_NE(indexed.pixelIndex(2, 0), 0);
    EXPECT_EQ(indexed.pixel(3, 0), qRgb(0, 0, 0));
}

TEST_F(ImageFiles, IcoStoresEveryEntryAtItsDepthWithItsMask) {
    QList<skin::IconEntry> entries;
    for (const int size : {32, 16, 20}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        // An opaque square in the middle holding a few colours, see-through around it.
        for (int y = size / 4; y < size * 3 / 4; ++y)
            for (int x = size / 4; x < size * 3 / 4; ++x)
                image.setPixel(x, y, x % 2 ? qRgb(30, 160, 220) : qRgb(250, 240, 10));
        for (const int bits : {4, 8, 32})
            entries.append({image, bits});
    }
    ASSERT_TRUE(skin::writeIco(path("icon.ico"), entries));

    const QByteArray bytes = bytesOf(path("icon.ico"));
    QImageReader reader(path("icon.ico"), "ico");
    ASSERT_EQ(reader.imageCount(), entries.size());
    for (int index = 0; index < entries.size(); ++index) {
        const char* directory = bytes.constData() + 6 + index * 16;
        EXPECT_EQ(qFromLittleEndian<quint16>(directory + 6), entries[index].bitsPerPixel);
        ASSERT_TRUE(reader.jumpToImage(index));
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage& drawn = entries[index].image;
        ASSERT_EQ(read.size(), drawn.size()) << index;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QRgb want = drawn.pixel(x, y);
                const QRgb got = read.pixel(x, y);
                ASSERT_EQ(qAlpha(got), qAlpha(want)) << index << " at " << x << ',' << y;
                if (qAlpha(want) != 0) {
                    ASSERT_EQ(got, want) << index << " at " << x << ',' << y;
                }
            }
    }
    EXPECT_FALSE(skin::writeIco(path("bad.ico"), {{QImage(300, 300, QImage::Format_ARGB32), 32}}));
    EXPECT_FALSE(skin::writeIco(path("bad.ico"), {{QImage(16, 16, QImage::Format_ARGB32), 24}}));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
