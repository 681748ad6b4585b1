#pragma once

#include "window_services/screen_geometry.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <optional>

// What an X11 desktop says about the space its panels keep for themselves, as read from the
// root window and its managed windows' properties. Every value comes from other programs and
// is taken as they wrote it; the arithmetic below bounds it.
struct DesktopReservations {
    QSize root = {}; // the X screen, from whose edges struts are measured
    // Whether the window manager lists its windows (_NET_CLIENT_LIST), so that struts can be
    // read at all.
    bool listsClients = false;
    // Each listed window's _NET_WM_STRUT_PARTIAL (12 words), or else its _NET_WM_STRUT (4).
    QList<QList<quint32>> struts = {};
    // _NET_WORKAREA of the current desktop: one rectangle for the whole X screen.
    std::optional<QRect> workArea = {};
    // Per-monitor work areas the desktop publishes itself (mutter's _GTK_WORKAREAS_D<n>).
    QList<QRect> monitorWorkAreas = {};
    // Under Xwayland the panels are the compositor's own and leave no struts to read.
    bool xwayland = false;
    bool operator==(const DesktopReservations&) const = default;
};

// The work area of each monitor of an X11 desktop, worked out as window managers and panels do
// it, because the desktop publishes one rectangle for the whole X screen:
//
//  1. the desktop's own per-monitor work areas, where it publishes them;
//  2. under Xwayland, the toolkit's answer (what the screens came with);
//  3. with one monitor, _NET_WORKAREA within it: the window manager's own word, which also
//     counts margins that no strut declares;
//  4. where the window manager lists its windows, the monitor less what their struts reserve
//     along it;
//  5. else the toolkit's answer.
namespace MonitorWorkAreas {

QList<DesktopScreen> applied(QList<DesktopScreen> screens, const DesktopReservations& desktop);

// The monitor (in X screen pixels) less the parts that struts reserve along it. A strut
// reserves a band along an edge of the X screen, as wide as its value, over the range its
// partial form gives (the whole edge for the plain form); values beyond the screen are cut to
// it and a range that ends before it starts reserves nothing. A band that would take the whole
// monitor belongs to no edge of it and leaves it alone, and so do struts that together would
// leave nothing.
QRect withoutStruts(const QRect& monitor, const QSize& root, const QList<QList<quint32>>& struts);

} // namespace MonitorWorkAreas
