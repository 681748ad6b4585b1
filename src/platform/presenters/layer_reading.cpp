#include "platform/presenters/layer_reading.h"

bool readWayland(const WaylandReading& calls) {
    while (calls.prepareRead() != 0)
        if (calls.dispatchPending() < 0)
            return false;
    return calls.readEvents() >= 0 && calls.dispatchPending() >= 0;
}

std::optional<QRect> describedArea(std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height) {
    constexpr std::int32_t MostPixels = 32768;
    constexpr std::int32_t FarthestPlace = 1 << 24;
    const auto within = [](std::int32_t value, std::int32_t low, std::int32_t high) {
        return value >= low && value <= high;
    };
    if (!within(width, 1, MostPixels) || !within(height, 1, MostPixels) ||
        !within(x, -FarthestPlace, FarthestPlace) || !within(y, -FarthestPlace, FarthestPlace))
        return std::nullopt;
    return QRect(x, y, width, height);
}
