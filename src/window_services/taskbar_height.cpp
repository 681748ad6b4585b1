#include "window_services/taskbar_height.h"

#include "window_services/screen_geometry.h"
#include "window_services/twips.h"

#include <cmath>
#include <limits>

qint16 GetTaskbarHeight(const ScreenGeometry& screen) {
    return GetTaskbarHeight(screen.screen(), screen.workArea());
}

qint16 GetTaskbarHeight(const QRect& whole, const QRect& work) {
    const double screenHeightTwips = double(whole.height()) * TwipsPerPixel;
    // The work area's bottom edge, exclusive, measured from the screen's own top so that a
    // primary screen away from the desktop's origin gives the same answer.
    const double workBottom = double(work.y()) + work.height() - whole.y();
    const double twips = std::nearbyint((screenHeightTwips / TwipsPerPixel - workBottom) *
                                        TwipsPerPixel); // ties to even
    constexpr double lowest = std::numeric_limits<qint16>::min();
    constexpr double highest = std::numeric_limits<qint16>::max();
    if (twips > highest)
        return qint16(highest);
    if (twips < lowest)
        return qint16(lowest);
    return qint16(twips);
}
