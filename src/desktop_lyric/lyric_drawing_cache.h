#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRawFont>

namespace LyricRenderer {

// What one drawing leaves for the next, so that a new line costs only what is new in it:
// the outlines of the glyphs drawn before, the fill's block for the colours, and the buffer
// the glyphs' coverage is painted into. A picture drawn with it is the one drawn without.
class Cache {
public:
    // The glyph's outline in the font, at the origin.
    QPainterPath outline(const QRawFont& font, quint32 glyph);
    const QImage& block(quint32 firstColour, quint32 secondColour, qreal scale);
    // A transparent buffer of the size, for one drawing at a time.
    QImage& coverage(QSize size);

private:
    // Far more outlines than a song has characters; past it all are dropped and made anew.
    static constexpr int MaxOutlines = 512;
    struct FontOutlines {
        QRawFont font;
        QHash<quint32, QPainterPath> glyphs;
    };
    QList<FontOutlines> fonts_;
    int outlines_ = 0;
    quint32 blockColours_[2] = {};
    qreal blockScale_ = 0;
    QImage block_;
    QImage coverage_;
};

} // namespace LyricRenderer
