#include "colour_reduction.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace skin {
namespace {

struct ColourCount {
    QRgb colour;
    int count;
};

int channel(QRgb colour, int which) {
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

struct Box {
    std::vector<ColourCount> colours;

    // The channel with the widest spread and that spread, weighted by how many pixels the
    // box covers so that large flat areas get the finer palette.
    std::pair<int, long long> widest() const {
        int best = 0;
        int bestRange = -1;
        long long pixels = 0;
        for (int which = 0; which < 3; ++which) {
            const auto [low, high] =
                std::minmax_element(colours.begin(), colours.end(), [which](auto a, auto b) {
                    return channel(a.colour, which) < channel(b.colour, which);
                });
            const int range = channel(high->colour, which) - channel(low->colour, which);
            if (range > bestRange) {
                bestRange = range;
                best = which;
            }
        }
        for (const auto& entry : colours)
            pixels += entry.count;
        return {best, colours.size() < 2 ? -1 : bestRange * pixels};
    }

    QRgb mean() const {
        long long red = 0, green = 0, blue = 0, pixels = 0;
        for (const auto& entry : colours) {
            red += qRed(entry.colour) * static_cast<long long>(entry.count);
            green += qGreen(entry.colour) * static_cast<long long>(entry.count);
            blue += qBlue(entry.colour) * static_cast<long long>(entry.count);
            pixels += entry.count;
        }
        const auto average = [pixels](long long sum) {
            return static_cast<int>((sum + pixels / 2) / pixels);
        };
        return qRgb(average(red), average(green), average(blue));
    }
};

QList<QRgb> medianCut(std::vector<ColourCount> colours, int entries) {
    std::vector<Box> boxes{Box{std::move(colours)}};
    while (static_cast<int>(boxes.size()) < entries) {
        auto chosen = boxes.end();
        long long chosenScore = 0;
        int chosenChannel = 0;
        for (auto box = boxes.begin(); box != boxes.end(); ++box) {
            const auto [which, score] = box->widest();
            if (score > chosenScore) {
                chosen = box;
                chosenScore = score;
                chosenChannel = which;
            }
        }
        if (chosen == boxes.end())
            break;
        auto& list = chosen->colours;
        std::stable_sort(list.begin(), list.end(), [chosenChannel](auto a, auto b) {
            return channel(a.colour, chosenChannel) < channel(b.colour, chosenChannel);
        });
        long long total = 0;
        for (const auto& entry : list)
            total += entry.count;
        long long running = 0;
        std::size_t split = 1;
        for (; split < list.size() - 1; ++split) {
            running += list[split - 1].count;
            if (running * 2 >= total)
                break;
        }
        Box upper{std::vector<ColourCount>(list.begin() + static_cast<std::ptrdiff_t>(split),
                                           list.end())};
        list.resize(split);
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const auto& box : boxes)
        palette.append(box.mean());
    return palette;
}

int nearest(const QList<QRgb>& palette, int first, QRgb colour) {
    int best = first;
    int bestDistance = INT32_MAX;
    for (int index = first; index < palette.size(); ++index) {
        const int red = qRed(palette[index]) - qRed(colour);
        const int green = qGreen(palette[index]) - qGreen(colour);
        const int blue = qBlue(palette[index]) - qBlue(colour);
        // Green weighs most and blue least, roughly as the eye does.
        const int distance = 3 * red * red + 4 * green * green + 2 * blue * blue;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = index;
        }
    }
    return best;
}

} // namespace

bool isSeeThrough(QRgb pixel) {
    return qAlpha(pixel) < 128;
}

QImage toIndexed(const QImage& source, int maxColours) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    bool anySeeThrough = false;
    QHash<QRgb, int> histogram;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (isSeeThrough(pixel))
                anySeeThrough = true;
            else
                ++histogram[pixel | 0xff000000u];
        }

    const int first = anySeeThrough ? 1 : 0;
    const int available = maxColours - first;
    QList<QRgb> palette;
    if (anySeeThrough)
        palette.append(qRgb(0, 0, 0));
    if (histogram.size() <= available) {
        for (auto entry = histogram.cbegin(); entry != histogram.cend(); ++entry)
            palette.append(entry.key());
        std::sort(palette.begin() + first, palette.end());
    } else {
        std::vector<ColourCount> colours;
        for (auto entry = histogram.cbegin(); entry != histogram.cend(); ++entry)
            colours.push_back({entry.key(), entry.value()});
        // Hash order changes from run to run; a fixed order keeps the output reproducible.
        std::sort(colours.begin(), colours.end(),
                  [](auto a, auto b) { return a.colour < b.colour; });
        palette.append(medianCut(std::move(colours), available));
    }

    QImage indexed(argb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    QHash<QRgb, int> mapped;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (isSeeThrough(pixel)) {
                indexed.setPixel(x, y, 0);
                continue;
            }
            const QRgb opaque = pixel | 0xff000000u;
            auto found = mapped.constFind(opaque);
            if (found == mapped.constEnd())
                found = mapped.insert(opaque, nearest(palette, first, opaque));
            indexed.setPixel(x, y, static_cast<uint>(found.value()));
        }
    return indexed;
}

} // namespace skin
