#include "support/x_barrier.h"

#include "support/event_wait.h"
#include "support/x11_client.h"

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
    X11Client other;
    if (!other.connected())
        return false;
    const auto id = quint32(window.winId());
    MarkerFilter filter(id, other.atom("_VELLORA_TEST_MARKER"));
    QCoreApplication::instance()->installNativeEventFilter(&filter);
    static quint32 round = 0;
    ++round;
    other.setWords(id, "_VELLORA_TEST_MARKER", "CARDINAL", {round});
    const bool seen = waitUntil([&] { return filter.seen; });
    QCoreApplication::instance()->removeNativeEventFilter(&filter);
    return seen;
}

} // namespace testsupport
