#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

// Water ripples over a picture: the surface is a height field that a pointer disturbs and
// that relaxes back to flat; the rendered picture is the source seen through that surface.
//
// Coordinates are those of the window the picture is painted in, with the picture's
// top-left corner at (0, 0). The water covers the source's full width and at most its top
// MaxWaterHeight rows; picture() has exactly that size.
//
// A still surface costs nothing to tick: the simulation stops as soon as both height
// fields are entirely flat and resumes on the next mouse action.
class WaterRipple {
public:
    static constexpr int MaxWaterHeight = 96;

    // Ticks after the last mouse action at which whatever ripple remains is flattened. The
    // damping stills the water long before (a press settles within about 6 s); this only
    // makes the bound certain whatever rounding does.
    static constexpr int MaxTicksAfterAction = 3000;

    // Takes the picture the water lies over and flattens the surface. A null source leaves
    // no water: ticks report nothing and picture() is null.
    void WaterInit(const QImage& source);

    // Drops a smooth dent centred on (x, y). spread is the dent's area: its radius is
    // sqrt(spread) pixels, so a press's 60 dents about 8 pixels around and a pointer move's
    // 5 about 2. depth is how far its centre sinks (negative raises it): a press's 500 sends
    // out a clear ring, a move's 80 a light wake. Dents add up with the waves already there.
    // A centre outside the water is ignored; a dent reaching past the edge is cut off there.
    void WaterMouseAction(int x, int y, int spread, int depth);

    // Advances the surface one step and re-renders what moved. Returns the part of the
    // picture that changed (in window coordinates), empty when nothing did.
    QRect WaterTimer();

    // The rendered picture (RGB32, so opaque); equals the source's top area while the water is
    // still.
    const QImage& picture() const { return picture_; }

    // True while the surface carries any ripple.
    bool isRippling() const { return !currentBox_.isEmpty() || !previousBox_.isEmpty(); }

private:
    int index(int x, int y) const { return (y + 1) * stride_ + x + 1; }
    QRect nonZeroBox(const std::vector<std::int16_t>& field, QRect within) const;
    void step();
    QRect render();
    void flatten();

    QImage source_;
    QImage picture_;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    // Heights with a one-cell border that stays 0, so neighbours need no bounds checks.
    std::vector<std::int16_t> current_;
    std::vector<std::int16_t> previous_;
    // Where each field may be non-zero (picture coordinates); empty when all zero.
    QRect currentBox_;
    QRect previousBox_;
    // One row's worth of where each pixel looks in the source and how it is shaded.
    std::vector<std::int32_t> lookup_;
    std::vector<std::uint32_t> shades_;
    // Where the last rendered frame may differ from the source.
    QRect renderedBox_;
    int ticksSinceAction_ = 0;
};
