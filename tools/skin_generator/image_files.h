#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Writers for the picture formats the skin ships in. Qt reads all of them but writes BMP
// only at 24 bits, and neither GIF nor multi-depth ICO, so the containers are written here.
namespace skin {

// bitsPerPixel 32 or 24 takes any image and stores it opaque; 8 needs an indexed image.
bool writeBmp(const QString& path, const QImage& image, int bitsPerPixel);

// A single-frame GIF from an indexed image of at most 256 colours.
bool writeGif(const QString& path, const QImage& indexed);

struct IconEntry {
    QImage image;     // ARGB; alpha below one half becomes the entry's transparent mask
    int bitsPerPixel; // 4, 8 or 32
};
bool writeIco(const QString& path, const QList<IconEntry>& entries);

} // namespace skin
