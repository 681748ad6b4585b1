#include "support/x_barrier.h"

#include "support/event_wait.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace testsupport {

namespace {

xcb_connection_t* qtConnection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

// Sees the marker's property change go by on Qt's connection.
class MarkerFilter : public QAbstractNativeEventFilter {
public:
    MarkerFilter(xcb_window_t window, xcb_atom_t marker) : window_(window), marker_(marker) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
            seen = seen || (change->window == window_ && change->atom == marker_);
        }
        return false;
    }
    bool seen = false;

private:
    xcb_window_t window_;
    xcb_atom_t marker_;
};

} // namespace

void serverHasQtRequests() {
    if (xcb_connection_t* connection = qtConnection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

bool qtHasHandledEventsSentSoFar(QWidget& window) {
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(other)) {
        xcb_disconnect(other);
        return false;
    }
    const auto id = xcb_window_t(window.winId());
    const xcb_atom_t marker = atom(other, "_VELLORA_TEST_MARKER");
    MarkerFilter filter(id, marker);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
    static quint32 round = 0;
    ++round;
    xcb_change_property(other, XCB_PROP_MODE_REPLACE, id, marker, XCB_ATOM_CARDINAL, 32, 1, &round);
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
    const bool seen = waitUntil([&] { return filter.seen; });
    QCoreApplication::instance()->removeNativeEventFilter(&filter);
    xcb_disconnect(other);
    return seen;
}

} // namespace testsupport
