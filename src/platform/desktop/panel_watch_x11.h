#pragma once

#include "base/coalesced_call.h"
#include "window_services/monitor_work_areas.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <functional>
#include <xcb/xcb.h>

// What the desktop's panels reserve, read on Qt's connection and read again only when the
// window system says something it depends on changed: the root window's list of managed
// windows, its work areas and its current desktop, and the struts of the docks and of the
// windows that have struts. Qt's connection already hears of the root window's property
// changes; the docks' are asked for.
class PanelWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    PanelWatch(xcb_connection_t* connection, std::function<void()> changed);
    ~PanelWatch() override;
    PanelWatch(const PanelWatch&) = delete;
    PanelWatch& operator=(const PanelWatch&) = delete;

    // Nothing is asked of the X server before.
    void start();
    bool started() const { return started_; }
    const DesktopReservations& reservations() const { return desktop_; }
    // The X screen's size follows RandR, which Qt hears of. Said again once read.
    void screensChanged() { refresh_.request(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

private:
    xcb_atom_t atom(const char* name, bool onlyIfExists = false) const;
    xcb_get_property_cookie_t ask(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    void refresh();
    void readRoot();
    void readClients(const QList<quint32>& listed);
    void watchEvents(xcb_window_t window, uint32_t mask);
    bool isOwn(xcb_window_t window) const { return (window & ~ownIdMask_) == ownIdBase_; }

    xcb_connection_t* x_;
    xcb_window_t root_;
    uint32_t ownIdBase_;
    uint32_t ownIdMask_;
    struct {
        xcb_atom_t clientList, workArea, currentDesktop, strutPartial, strut, windowType, dock;
    } atoms_;
    xcb_atom_t monitorWorkAreas_ = XCB_NONE; // _GTK_WORKAREAS_D<current desktop>, if it exists
    // The managed windows this watch has looked at, with their struts (none: no strut); only
    // docks and windows with struts are heard from.
    QHash<xcb_window_t, QList<quint32>> clients_;
    QSet<xcb_window_t> heard_;
    QSet<xcb_window_t> strutsChanged_;
    DesktopReservations desktop_;
    std::function<void()> changed_;
    CoalescedCall refresh_;
    bool started_ = false;
};
