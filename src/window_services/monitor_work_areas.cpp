#include "window_services/monitor_work_areas.h"

#include <algorithm>

namespace MonitorWorkAreas {

namespace {

enum Edge { LeftEdge, RightEdge, TopEdge, BottomEdge };

// The band a strut's edge reserves, in X screen pixels; empty when it reserves nothing.
QRect band(Edge edge, quint32 width, quint32 start, quint32 end, const QSize& root) {
    const qint64 across = edge == LeftEdge || edge == RightEdge ? root.width() : root.height();
    const qint64 along = edge == LeftEdge || edge == RightEdge ? root.height() : root.width();
    if (along <= 0 || across <= 0)
        return {};
    const int deep = int(std::min<qint64>(width, across));
    const int first = int(std::min<qint64>(start, along - 1));
    const int last = int(std::min<qint64>(end, along - 1));
    if (deep == 0 || last < first)
        return {};
    const int length = last - first + 1;
    switch (edge) {
    case LeftEdge:
        return QRect(0, first, deep, length);
    case RightEdge:
        return QRect(root.width() - deep, first, deep, length);
    case TopEdge:
        return QRect(first, 0, length, deep);
    case BottomEdge:
        return QRect(first, root.height() - deep, length, deep);
    }
    return {};
}

// Qt keeps a screen's corner in the window system's pixels and divides only its size by the
// screen's scale.
QRect inPixels(const DesktopScreen& screen) {
    return QRect(screen.geometry.topLeft(),
                 (QSizeF(screen.geometry.size()) * screen.scale).toSize());
}

QRect inScreenUnits(const DesktopScreen& screen, const QRect& pixels) {
    const QPoint corner = screen.geometry.topLeft();
    const QRectF scaled(QPointF(pixels.topLeft() - corner) / screen.scale,
                        QSizeF(pixels.size()) / screen.scale);
    return scaled.translated(corner).toRect();
}

} // namespace

QRect withoutStruts(const QRect& monitor, const QSize& root, const QList<QList<quint32>>& struts) {
    int left = monitor.left();
    int right = monitor.right();
    int top = monitor.top();
    int bottom = monitor.bottom();
    for (const QList<quint32>& strut : struts) {
        if (strut.size() < 4)
            continue;
        const bool partial = strut.size() >= 12;
        for (const Edge edge : {LeftEdge, RightEdge, TopEdge, BottomEdge}) {
            const quint32 start = partial ? strut[4 + 2 * edge] : 0;
            const quint32 end = partial ? strut[5 + 2 * edge] : 0xFFFFFFFF;
            const QRect reserved = band(edge, strut[edge], start, end, root) & monitor;
            if (reserved.isEmpty() || reserved == monitor)
                continue;
            switch (edge) {
            case LeftEdge:
                if (reserved.right() < monitor.right())
                    left = std::max(left, reserved.right() + 1);
                break;
            case RightEdge:
                if (reserved.left() > monitor.left())
                    right = std::min(right, reserved.left() - 1);
                break;
            case TopEdge:
                if (reserved.bottom() < monitor.bottom())
                    top = std::max(top, reserved.bottom() + 1);
                break;
            case BottomEdge:
                if (reserved.top() > monitor.top())
                    bottom = std::min(bottom, reserved.top() - 1);
                break;
            }
        }
    }
    if (left > right || top > bottom)
        return monitor;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QList<DesktopScreen> applied(QList<DesktopScreen> screens, const DesktopReservations& desktop) {
    for (DesktopScreen& screen : screens) {
        const QRect monitor = inPixels(screen);
        if (monitor.isEmpty() || screen.scale <= 0)
            continue;
        // The published area this monitor holds most of.
        QRect published;
        for (const QRect& area : desktop.monitorWorkAreas) {
            const QRect shared = area & monitor;
            if (qint64(shared.width()) * shared.height() >
                qint64(published.width()) * published.height())
                published = shared;
        }
        if (!published.isEmpty())
            screen.workArea = inScreenUnits(screen, published);
        else if (desktop.xwayland)
            continue;
        else if (screens.size() == 1 && desktop.workArea && desktop.workArea->intersects(monitor))
            screen.workArea = inScreenUnits(screen, *desktop.workArea & monitor);
        else if (desktop.listsClients)
            screen.workArea =
                inScreenUnits(screen, withoutStruts(monitor, desktop.root, desktop.struts));
    }
    return screens;
}

} // namespace MonitorWorkAreas
