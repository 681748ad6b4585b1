#pragma once

#include <QByteArrayView>
#include <QString>

// Apart from the cover cache, which decodes pictures' headers, so that the media reader
// program, which only tells pictures by their first bytes, needs no more of Qt than its core.
namespace CoverArtCache {

// The MIME type of an image from its first bytes: JPEG, PNG, GIF, BMP or WebP; empty for
// anything else.
QString imageMimeType(QByteArrayView bytes);

} // namespace CoverArtCache
