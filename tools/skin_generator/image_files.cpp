#include "image_files.h"

#include "colour_reduction.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace skin {
namespace {

class LittleEndianBytes {
public:
    void u8(int value) { bytes_.append(static_cast<char>(value & 0xff)); }
    void u16(int value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(static_cast<int>(value & 0xffff));
        u16(static_cast<int>(value >> 16));
    }
    void raw(const QByteArray& data) { bytes_.append(data); }
    void pad(int count) { bytes_.append(count, '\0'); }
    qsizetype size() const { return bytes_.size(); }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(data) == data.size() && file.flush();
}

// ---- BMP-style pixel rows ----------------------------------------------------------------

int rowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Rows bottom-up, each padded to four bytes, as device-independent bitmaps store them.
QByteArray pixelRows(const QImage& image, int bitsPerPixel) {
    const int stride = rowBytes(image.width(), bitsPerPixel);
    QByteArray rows(static_cast<qsizetype>(stride) * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y) {
        auto* out = reinterpret_cast<std::uint8_t*>(rows.data()) +
                    static_cast<qsizetype>(image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            if (bitsPerPixel <= 8) {
                const int index = image.pixelIndex(x, y);
                if (bitsPerPixel == 8)
                    out[x] = static_cast<std::uint8_t>(index);
                else
                    out[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
                continue;
            }
            const QRgb pixel = image.pixel(x, y);
            const int bytes = bitsPerPixel / 8;
            out[x * bytes] = static_cast<std::uint8_t>(qBlue(pixel));
            out[x * bytes + 1] = static_cast<std::uint8_t>(qGreen(pixel));
            out[x * bytes + 2] = static_cast<std::uint8_t>(qRed(pixel));
            if (bytes == 4)
                out[x * bytes + 3] = static_cast<std::uint8_t>(qAlpha(pixel));
        }
    }
    return rows;
}

QByteArray maskRows(const QImage& argb) {
    const int stride = rowBytes(argb.width(), 1);
    QByteArray rows(static_cast<qsizetype>(stride) * argb.height(), '\0');
    for (int y = 0; y < argb.height(); ++y) {
        auto* out = reinterpret_cast<std::uint8_t*>(rows.data()) +
                    static_cast<qsizetype>(argb.height() - 1 - y) * stride;
        for (int x = 0; x < argb.width(); ++x)
            if (isSeeThrough(argb.pixel(x, y)))
                out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return rows;
}

void infoHeader(LittleEndianBytes& out, int width, int height, int bitsPerPixel,
                std::uint32_t imageBytes, int paletteEntries) {
    constexpr int PixelsPerMetreAt96Dpi = 3780;
    out.u32(40);
    out.u32(static_cast<std::uint32_t>(width));
    out.u32(static_cast<std::uint32_t>(height));
    out.u16(1);
    out.u16(bitsPerPixel);
    out.u32(0); // uncompressed
    out.u32(imageBytes);
    out.u32(PixelsPerMetreAt96Dpi);
    out.u32(PixelsPerMetreAt96Dpi);
    out.u32(static_cast<std::uint32_t>(paletteEntries));
    out.u32(0);
}

void paletteQuads(LittleEndianBytes& out, const QList<QRgb>& palette, int entries) {
    for (int index = 0; index < entries; ++index) {
        const QRgb colour = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
        out.u8(qBlue(colour));
        out.u8(qGreen(colour));
        out.u8(qRed(colour));
        out.u8(0);
    }
}

// ---- GIF ---------------------------------------------------------------------------------

class CodePacker {
public:
    void put(int code, int bits) {
        pending_ |= static_cast<std::uint32_t>(code) << pendingBits_;
        pendingBits_ += bits;
        while (pendingBits_ >= 8) {
            bytes_.append(static_cast<char>(pending_ & 0xff));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
    }
    QByteArray finish() {
        if (pendingBits_ > 0)
            bytes_.append(static_cast<char>(pending_ & 0xff));
        pending_ = 0;
        pendingBits_ = 0;
        return bytes_;
    }

private:
    QByteArray bytes_;
    std::uint32_t pending_ = 0;
    int pendingBits_ = 0;
};

// Plain LZW with a dictionary, codes growing from 9 to 12 bits and a reset when full.
QByteArray lzw(const std::vector<std::uint8_t>& indices) {
    constexpr int MinimumCodeSize = 8;
    constexpr int Clear = 1 << MinimumCodeSize;
    constexpr int End = Clear + 1;
    constexpr int MaxCode = 4095;
    CodePacker packer;
    QHash<std::uint32_t, int> dictionary; // (prefix code << 8 | next index) -> code
    int nextCode = End + 1;
    int codeBits = MinimumCodeSize + 1;
    packer.put(Clear, codeBits);
    if (indices.empty()) {
        packer.put(End, codeBits);
        return packer.finish();
    }
    int prefix = indices.front();
    for (std::size_t at = 1; at < indices.size(); ++at) {
        const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | indices[at];
        const auto known = dictionary.constFind(key);
        if (known != dictionary.constEnd()) {
            prefix = known.value();
            continue;
        }
        packer.put(prefix, codeBits);
        if (nextCode <= MaxCode) {
            dictionary.insert(key, nextCode);
            // The reader widens its codes once the code it just added needs more bits.
            if (nextCode == (1 << codeBits) && codeBits < 12)
                ++codeBits;
            ++nextCode;
        } else {
            packer.put(Clear, codeBits);
            dictionary.clear();
            nextCode = End + 1;
            codeBits = MinimumCodeSize + 1;
        }
        prefix = indices[at];
    }
    packer.put(prefix, codeBits);
    packer.put(End, codeBits);
    return packer.finish();
}

} // namespace

bool writeBmp(const QString& path, const QImage& image, int bitsPerPixel) {
    QImage pixels;
    int paletteEntries = 0;
    if (bitsPerPixel == 8) {
        if (image.format() != QImage::Format_Indexed8)
            return false;
        pixels = image;
        paletteEntries = static_cast<int>(image.colorTable().size());
    } else if (bitsPerPixel == 24 || bitsPerPixel == 32) {
        pixels = image.convertToFormat(QImage::Format_RGB32);
    } else {
        return false;
    }
    const QByteArray rows = pixelRows(pixels, bitsPerPixel);
    const int headerBytes = 14 + 40 + paletteEntries * 4;

    LittleEndianBytes out;
    out.u8('B');
    out.u8('M');
    out.u32(static_cast<std::uint32_t>(headerBytes + rows.size()));
    out.u32(0);
    out.u32(static_cast<std::uint32_t>(headerBytes));
    infoHeader(out, pixels.width(), pixels.height(), bitsPerPixel,
               static_cast<std::uint32_t>(rows.size()), paletteEntries);
    paletteQuads(out, pixels.colorTable(), paletteEntries);
    out.raw(rows);
    return writeFile(path, out.bytes());
}

bool writeGif(const QString& path, const QImage& indexed) {
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorTable().size() > 256)
        return false;
    const QList<QRgb> palette = indexed.colorTable();
    int tableBits = 1;
    while ((1 << tableBits) < palette.size())
        ++tableBits;

    LittleEndianBytes out;
    out.raw(QByteArrayLiteral("GIF89a"));
    out.u16(indexed.width());
    out.u16(indexed.height());
    out.u8(0x80 | (7 << 4) | (tableBits - 1)); // global table, 8-bit colour resolution
    out.u8(0);                                 // background colour
    out.u8(0);                                 // square pixels
    for (int index = 0; index < (1 << tableBits); ++index) {
        const QRgb colour = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
        out.u8(qRed(colour));
        out.u8(qGreen(colour));
        out.u8(qBlue(colour));
    }
    out.u8(0x2c); // image descriptor
    out.u16(0);
    out.u16(0);
    out.u16(indexed.width());
    out.u16(indexed.height());
    out.u8(0); // no local table, not interlaced

    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(indexed.width()) * indexed.height());
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indices.push_back(static_cast<std::uint8_t>(indexed.pixelIndex(x, y)));
    const QByteArray codes = lzw(indices);
    out.u8(8);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, codes.size() - at);
        out.u8(static_cast<int>(length));
        out.raw(codes.mid(at, length));
    }
    out.u8(0);    // end of the image data
    out.u8(0x3b); // trailer
    return writeFile(path, out.bytes());
}

bool writeIco(const QString& path, const QList<IconEntry>& entries) {
    QList<QByteArray> images;
    for (const auto& entry : entries) {
        const QImage argb = entry.image.convertToFormat(QImage::Format_ARGB32);
        if (argb.width() > 256 || argb.height() > 256)
            return false;
        QImage pixels = argb;
        int paletteEntries = 0;
        if (entry.bitsPerPixel == 4 || entry.bitsPerPixel == 8) {
            paletteEntries = 1 << entry.bitsPerPixel;
            pixels = toIndexed(argb, paletteEntries);
        } else if (entry.bitsPerPixel == 32) {
            // Colour under a see-through mask bit must be black for the mask to work
            // on readers that ignore the alpha channel.
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x)
                    if (qAlpha(pixels.pixel(x, y)) == 0)
                        pixels.setPixel(x, y, 0);
        } else {
            return false;
        }
        const QByteArray colourRows = pixelRows(pixels, entry.bitsPerPixel);
        const QByteArray mask = maskRows(argb);
        LittleEndianBytes dib;
        // The stored height counts the colour rows and the mask rows together.
        infoHeader(dib, argb.width(), argb.height() * 2, entry.bitsPerPixel,
                   static_cast<std::uint32_t>(colourRows.size() + mask.size()), 0);
        paletteQuads(dib, pixels.colorTable(), paletteEntries);
        dib.raw(colourRows);
        dib.raw(mask);
        images.append(dib.bytes());
    }

    LittleEndianBytes out;
    out.u16(0);
    out.u16(1); // icon, not cursor
    out.u16(static_cast<int>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (qsizetype at = 0; at < entries.size(); ++at) {
        const QImage& image = entries[at].image;
        const int bits = entries[at].bitsPerPixel;
        out.u8(image.width() % 256);
        out.u8(image.height() % 256);
        out.u8(bits < 8 ? 1 << bits : 0);
        out.u8(0);
        out.u16(1);
        out.u16(bits);
        out.u32(static_cast<std::uint32_t>(images[at].size()));
        out.u32(offset);
        offset += static_cast<std::uint32_t>(images[at].size());
    }
    for (const auto& image : images)
        out.raw(image);
    return writeFile(path, out.bytes());
}

} // namespace skin
