#include "lyric_sources/cover_image_type.h"

namespace CoverArtCache {

QString imageMimeType(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("image/jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("image/png");
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QStringLiteral("image/gif");
    if (bytes.startsWith("BM") && bytes.size() > 14)
        return QStringLiteral("image/bmp");
    if (bytes.size() > 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "WEBP")
        return QStringLiteral("image/webp");
    return {};
}

} // namespace CoverArtCache
