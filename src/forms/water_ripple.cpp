#include "forms/water_ripple.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

// Heights are kept in quarter units of a mouse action's depth, so that the damping's
// rounding (below) is fine enough not to cut a ripple short.
constexpr int HeightScale = 4;
// Each step keeps 127/128 of a wave's height, rounding the loss up so that even the
// smallest ripple loses at least one unit a step and the surface cannot hum forever.
constexpr int DampingShift = 7;
// The height difference across a cell, divided by this, is how many pixels the view bends.
// Dividing rounds toward zero, so the faint slopes of a settling surface bend nothing
// rather than all one way.
constexpr int RefractionDivisor = 64;
// Slopes facing the light brighten the picture, the others darken it, within a limit that
// keeps the picture recognisable under a strong press.
constexpr int ShadeDivisor = 32;
constexpr int MaxShade = 40;

constexpr int HeightMax = std::numeric_limits<std::int16_t>::max();

int clampHeight(int value) {
    return std::clamp(value, -HeightMax, HeightMax);
}

QRect grown(QRect box) {
    return box.isEmpty() ? QRect() : box.adjusted(-1, -1, 1, 1);
}

} // namespace

void WaterRipple::WaterInit(const QImage& source) {
    width_ = 0;
    height_ = 0;
    source_ = QImage();
    picture_ = QImage();
    if (!source.isNull()) {
        width_ = source.width();
        height_ = std::min(source.height(), MaxWaterHeight);
        source_ = source.copy(0, 0, width_, height_).convertToFormat(QImage::Format_RGB32);
        picture_ = source_.copy();
    }
    stride_ = width_ + 2;
    const std::size_t cells = source_.isNull() ? 0 : std::size_t(stride_) * (height_ + 2);
    current_.assign(cells, 0);
    previous_.assign(cells, 0);
    lookup_.assign(std::size_t(width_), 0);
    shades_.assign(std::size_t(width_), 0);
    currentBox_ = previousBox_ = renderedBox_ = QRect();
    ticksSinceAction_ = 0;
}

void WaterRipple::WaterMouseAction(int x, int y, int spread, int depth) {
    if (source_.isNull() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    // Past the water's own size a bigger dent changes nothing but the arithmetic's range.
    const qint64 reach = std::max(width_, height_);
    const double radius = std::sqrt(double(std::clamp<qint64>(spread, 1, reach * reach)));
    const int scaledDepth = std::clamp(depth, -HeightMax, HeightMax) * HeightScale;
    const int cells = int(std::ceil(radius)) - 1;
    const QRect dent =
        QRect(x - cells, y - cells, 2 * cells + 1, 2 * cells + 1) & QRect(0, 0, width_, height_);
    // A smooth bump, (1 - d²/r²)², leaves no sharp edge for the waves to ring on.
    const double r2 = radius * radius;
    for (int cy = dent.top(); cy <= dent.bottom(); ++cy) {
        for (int cx = dent.left(); cx <= dent.right(); ++cx) {
            const double d2 = double(cx - x) * (cx - x) + double(cy - y) * (cy - y);
            if (d2 >= r2)
                continue;
            const double s = 1.0 - d2 / r2;
            std::int16_t& cell = current_[index(cx, cy)];
            cell = std::int16_t(clampHeight(cell - int(scaledDepth * s * s)));
        }
    }
    currentBox_ |= dent;
    ticksSinceAction_ = 0;
}

QRect WaterRipple::WaterTimer() {
    if (!isRippling())
        return QRect();
    if (++ticksSinceAction_ >= MaxTicksAfterAction)
        flatten();
    else
        step();
    return render();
}

QRect WaterRipple::nonZeroBox(const std::vector<std::int16_t>& field, QRect within) const {
    int top = -1, bottom = -1, left = width_, right = -1;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        const std::int16_t* row = field.data() + index(0, y);
        int first = within.left();
        while (first <= within.right() && row[first] == 0)
            ++first;
        if (first > within.right())
            continue;
        int last = within.right();
        while (row[last] == 0)
            --last;
        if (top < 0)
            top = y;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void WaterRipple::step() {
    // Waves travel one cell a step, so only cells next to a moving one can change; the
    // previous field is overwritten in place with the next one, then the two swap roles.
    const QRect area = (grown(currentBox_) | previousBox_) & QRect(0, 0, width_, height_);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::int16_t* c = current_.data() + index(0, y);
        std::int16_t* p = previous_.data() + index(0, y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const int wave = (c[x - 1] + c[x + 1] + c[x - stride_] + c[x + stride_]) / 2 - p[x];
            const int magnitude = std::abs(wave);
            const int damped = magnitude - ((magnitude + (1 << DampingShift) - 1) >> DampingShift);
            p[x] = std::int16_t(clampHeight(wave < 0 ? -damped : damped));
        }
    }
    std::swap(current_, previous_);
    previousBox_ = currentBox_;
    currentBox_ = nonZeroBox(current_, area);
}

QRect WaterRipple::render() {
    // Pixels outside the moving cells and their neighbours see the source unbent, so only
    // those plus whatever the last frame bent need drawing.
    const QRect bent = grown(currentBox_) & QRect(0, 0, width_, height_);
    const QRect dirty = bent | renderedBox_;
    renderedBox_ = bent;
    if (dirty.isEmpty())
        return QRect();

    // Each row goes in three passes so that all but the lookup vectorise: where each pixel
    // looks and how it is shaded, then the lookup, then the shading of all channels at once.
    // Locals rather than members, which the writes could alias and so reload per pixel.
    const int left = dirty.left();
    const int count = dirty.width();
    const int lastX = width_ - 1;
    const int lastY = height_ - 1;
    const int stride = stride_;
    const auto* src = reinterpret_cast<const QRgb*>(source_.constBits());
    const int srcStride = int(source_.bytesPerLine() / qsizetype(sizeof(QRgb)));
    auto* out = reinterpret_cast<QRgb*>(picture_.bits());
    const qsizetype outStride = picture_.bytesPerLine() / qsizetype(sizeof(QRgb));
    std::int32_t* lookup = lookup_.data();
    std::uint32_t* shades = shades_.data();
    const auto* shadeBytes = reinterpret_cast<const unsigned char*>(shades);
    for (int y = dirty.top(); y <= dirty.bottom(); ++y) {
        const std::int16_t* h = current_.data() + index(left, y);
        for (int i = 0; i < count; ++i) {
            const int dx = h[i - 1] - h[i + 1];
            const int dy = h[i - stride] - h[i + stride];
            const int sx = std::clamp(left + i + dx / RefractionDivisor, 0, lastX);
            const int sy = std::clamp(y + dy / RefractionDivisor, 0, lastY);
            lookup[i] = sy * srcStride + sx;
            // The same signed byte for red, green and blue; 0 for alpha, which stays opaque.
            const int shade = std::clamp((dx + dy) / ShadeDivisor, -MaxShade, MaxShade);
            shades[i] = std::uint32_t(std::uint8_t(shade)) * 0x010101u;
        }
        QRgb* line = out + y * outStride + left;
        for (int i = 0; i < count; ++i)
            line[i] = src[lookup[i]];
        auto* bytes = reinterpret_cast<unsigned char*>(line);
        for (int i = 0; i < 4 * count; ++i) {
            const int value = bytes[i] + static_cast<signed char>(shadeBytes[i]);
            bytes[i] = static_cast<unsigned char>(std::clamp(value, 0, 255));
        }
    }
    return dirty;
}

void WaterRipple::flatten() {
    std::fill(current_.begin(), current_.end(), std::int16_t(0));
    std::fill(previous_.begin(), previous_.end(), std::int16_t(0));
    currentBox_ = previousBox_ = QRect();
}
