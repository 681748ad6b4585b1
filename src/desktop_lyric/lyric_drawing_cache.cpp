#include "desktop_lyric/lyric_drawing_cache.h"

#include "desktop_lyric/lyric_gradient.h"

#include <algorithm>

namespace LyricRenderer {

QPainterPath Cache::outline(const QRawFont& font, quint32 glyph) {
    if (outlines_ >= MaxOutlines) {
        fonts_.clear();
        outlines_ = 0;
    }
    auto known = std::find_if(fonts_.begin(), fonts_.end(),
                              [&](const FontOutlines& outlines) { return outlines.font == font; });
    if (known == fonts_.end())
        known = fonts_.insert(fonts_.end(), FontOutlines{font, {}});
    auto path = known->glyphs.find(glyph);
    if (path == known->glyphs.end()) {
        path = known->glyphs.insert(glyph, font.pathForGlyph(glyph));
        ++outlines_;
    }
    return *path;
}

const QImage& Cache::block(quint32 firstColour, quint32 secondColour, qreal scale) {
    if (block_.isNull() || blockColours_[0] != firstColour || blockColours_[1] != secondColour ||
        blockScale_ != scale) {
        block_ = gradientBlock(firstColour, secondColour, scale);
        blockColours_[0] = firstColour;
        blockColours_[1] = secondColour;
        blockScale_ = scale;
    }
    return block_;
}

QImage& Cache::coverage(QSize size) {
    if (coverage_.size() != size)
        coverage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    coverage_.fill(Qt::transparent);
    return coverage_;
}

} // namespace LyricRenderer
