#include "window_services/screen_placement.h"

#include "window_services/taskbar_height.h"
#include "window_services/twips.h"

#include <QtMath>
#include <algorithm>

namespace ScreenPlacement {

std::optional<DesktopScreen> screenFor(const QList<DesktopScreen>& screens,
                                       const QString& remembered) {
    // A screen without an area is still being described; the lyric waits for it elsewhere.
    if (!remembered.isEmpty())
        for (const DesktopScreen& screen : screens)
            if (screen.name == remembered && !screen.geometry.isEmpty())
                return screen;
    for (const DesktopScreen& screen : screens)
        if (!screen.geometry.isEmpty())
            return screen;
    return std::nullopt;
}

std::optional<DesktopScreen> screenMostlyUnder(const QList<DesktopScreen>& screens,
                                               const QRect& area) {
    std::optional<DesktopScreen> most;
    qint64 mostPixels = 0;
    for (const DesktopScreen& screen : screens) {
        const QRect shared = screen.geometry & area;
        const qint64 pixels = qint64(shared.width()) * shared.height();
        if (pixels > mostPixels) {
            most = screen;
            mostPixels = pixels;
        }
    }
    return most;
}

QRect lyricOn(const DesktopScreen& screen, int height, std::optional<int> draggedTop) {
    const QRect whole = screen.geometry;
    if (draggedTop) {
        const QRect work = screen.workArea.isValid() ? screen.workArea : whole;
        const int top = std::clamp(whole.y() + *draggedTop, work.y(),
                                   std::max(work.y(), work.y() + work.height() - height));
        return QRect(whole.x(), top, whole.width(), height);
    }
    // The arithmetic is in twips: the window's bottom edge rests on the top of the strip
    // below the work area.
    const int heightTwips = height * TwipsPerPixel;
    const int topTwips = whole.height() * TwipsPerPixel - heightTwips -
                         GetTaskbarHeight(screen.geometry, screen.workArea);
    return QRect(whole.x(), whole.y() + qRound(topTwips / double(TwipsPerPixel)), whole.width(),
                 height);
}

std::optional<int> draggedTop(const DesktopScreen& screen, const QRect& window) {
    if (window.y() == lyricOn(screen, window.height(), std::nullopt).y())
        return std::nullopt;
    return window.y() - screen.geometry.y();
}

QPoint toolbarAbove(const QRect& screen, int lyricTop, const QSize& toolbar) {
    const QPoint centred(screen.x() + (screen.width() - toolbar.width()) / 2,
                         lyricTop - toolbar.height());
    return insideScreen(QRect(centred, toolbar), screen);
}

QPoint insideScreen(const QRect& window, const QRect& screen) {
    if (screen.isEmpty())
        return window.topLeft();
    const auto within = [](int start, int length, int from, int span) {
        return std::max(from, std::min(start, from + span - length));
    };
    return {within(window.x(), window.width(), screen.x(), screen.width()),
            within(window.y(), window.height(), screen.y(), screen.height())};
}

} // namespace ScreenPlacement
