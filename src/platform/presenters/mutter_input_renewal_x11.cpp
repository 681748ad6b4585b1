#include "platform/presenters/mutter_input_renewal_x11.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <utility>

namespace {

// Late renewals, counted from the picture: by then even a busy compositor has had it.
constexpr int FirstLateRenewalMs = 250;
constexpr int LaterRenewalsMs = 750;
constexpr int LateRenewals = 2;

} // namespace

MutterInputRenewal::MutterInputRenewal(Atoms atoms, xcb_connection_t* connection, CutInput cutInput)
    : atoms_(atoms), connection_(connection),
      root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
      cutInput_(std::move(cutInput)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

MutterInputRenewal::~MutterInputRenewal() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void MutterInputRenewal::inputIs(QWidget& window, const QRegion& input) {
    const auto id = xcb_window_t(window.internalWinId());
    if (!id)
        return;
    Kept& kept = kept_[id];
    kept.window = &window;
    kept.region = input;
    kept.lessOnePixel = false;
}

bool MutterInputRenewal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->isWidgetType())
        pictureSent(xcb_window_t(static_cast<QWidget*>(watched)->internalWinId()));
    return false;
}

void MutterInputRenewal::pictureSent(xcb_window_t id) {
    const auto found = kept_.find(id);
    if (found == kept_.end())
        return;
    // Once the picture has gone to the server, which the next turn of the event loop follows.
    if (!found->renewalQueued) {
        found->renewalQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                const auto again = kept_.find(id);
                if (again != kept_.end()) {
                    again->renewalQueued = false;
                    renew(id);
                }
            },
            Qt::QueuedConnection);
    }
    if (found->repaintForRenewal) {
        found->repaintForRenewal = false;
        return;
    }
    ++found->round;
    found->lateRenewalsLeft = LateRenewals;
    scheduleLateRenewal(id, FirstLateRenewalMs);
}

void MutterInputRenewal::scheduleLateRenewal(xcb_window_t id, int afterMs) {
    QTimer::singleShot(afterMs, this, [this, id, round = kept_.value(id).round] {
        const auto found = kept_.find(id);
        if (found != kept_.end() && found->round == round)
            renewLate(id);
    });
}

void MutterInputRenewal::renew(xcb_window_t id) {
    Kept& kept = kept_[id];
    if (!kept.window || xcb_window_t(kept.window->internalWinId()) != id) {
        kept_.remove(id);
        return;
    }
    kept.lessOnePixel = !kept.lessOnePixel;
    const QRect pixel(kept.region.isEmpty() ? QPoint(0, 0) : kept.region.begin()->topLeft(),
                      QSize(1, 1));
    cutInput_(*kept.window, kept.lessOnePixel ? kept.region.xored(pixel) : kept.region);
}

void MutterInputRenewal::renewLate(xcb_window_t id) {
    renew(id);
    const auto found = kept_.find(id);
    if (found == kept_.end())
        return;
    --found->lateRenewalsLeft;
    ++found->answersAwaited;
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atoms_.state;
    request.data.data32[0] = 1; // add
    request.data.data32[1] = atoms_.skipPager;
    request.data.data32[3] = 1; // asked by the program itself
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(connection_);
}

// mutter's answer: the change before the request is in hand, and the picture asked for now
// is committed after it.
bool MutterInputRenewal::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notify->atom != atoms_.state)
        return false;
    const auto found = kept_.find(notify->window);
    if (found == kept_.end() || found->answersAwaited == 0 || !found->window)
        return false;
    --found->answersAwaited;
    if (found->window->isVisible()) {
        found->repaintForRenewal = true;
        found->window->update(QRect(0, 0, 1, 1));
    }
    // The next renewal waits for this picture: were it sent before the picture reached
    // mutter, the picture would take the change, and the next one none.
    if (found->answersAwaited == 0 && found->lateRenewalsLeft > 0)
        scheduleLateRenewal(notify->window, LaterRenewalsMs);
    return false;
}
