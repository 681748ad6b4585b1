#include "platform/system_window_presenter.h"

#include "platform/layer_shell_presenter.h"
#include "window_services/window_shape.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QTransform>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

// Without an X11 connection (another platform plugin) there is only the widget's mask, in
// logical pixels, and no compositing manager to rely on.
class MaskShaper final : public WindowPresenter {
public:
    bool compositing() const override { return false; }

    void showOnly(QWidget& window, const QRegion& visible) override {
        const qreal scale = window.devicePixelRatio();
        if (visible.isEmpty())
            window.setMask(WindowShape::nothingVisible());
        else if (scale == 1)
            window.setMask(visible);
        else
            window.setMask(QTransform::fromScale(1 / scale, 1 / scale).map(visible));
    }

    void takeInputOnly(QWidget& window, const QRegion&) override { window.clearMask(); }

    // Qt's Wayland platform paints a part of a translucent window over what an older buffer
    // held there, so a new line would show over the last one: the whole window is redrawn.
    void present(QWidget& window, const QImage&, const QRect&) override { window.update(); }
};

template <typename Reply> struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

class XcbShaper final : public WindowPresenter, public QAbstractNativeEventFilter {
public:
    explicit XcbShaper(xcb_connection_t* connection);

    bool compositing() const override { return compositing_; }
    void showOnly(QWidget& window, const QRegion& visible) override {
        cut(window, XCB_SHAPE_SK_BOUNDING, visible);
    }
    void takeInputOnly(QWidget& window, const QRegion& input) override {
        cut(window, XCB_SHAPE_SK_INPUT, input);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

private:
    void cut(QWidget& window, xcb_shape_kind_t kind, const QRegion& region);

    xcb_connection_t* connection_;
    xcb_atom_t managerSelection_ = XCB_NONE;
    uint8_t xfixesFirstEvent_ = 0; // 0: no XFixes, so a manager is seen only at start
    bool compositing_ = false;
    // The kind of shape each window was last cut with; the other is left whole.
    QHash<xcb_window_t, xcb_shape_kind_t> cutWith_;
};

XcbShaper::XcbShaper(xcb_connection_t* connection) : connection_(connection) {
    // A compositing manager owns the selection _NET_WM_CM_S<screen> for as long as it runs.
    // The screen is the one Qt connected to, named by DISPLAY.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    const Freed<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
        nullptr)};
    if (!atom)
        return;
    managerSelection_ = atom->atom;

    // Watched before it is looked at, so that a manager starting in between is not missed.
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && roots.rem > 1; ++i)
        xcb_screen_next(&roots);
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (xfixes && xfixes->present && roots.data) {
        std::free(xcb_xfixes_query_version_reply(connection,
                                                 xcb_xfixes_query_version(connection,
                                                                          XCB_XFIXES_MAJOR_VERSION,
                                                                          XCB_XFIXES_MINOR_VERSION),
                                                 nullptr));
        xcb_xfixes_select_selection_input(
            connection, roots.data->root, managerSelection_,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xfixesFirstEvent_ = xfixes->first_event;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    const Freed<xcb_get_selection_owner_reply_t> owner{xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, managerSelection_), nullptr)};
    compositing_ = owner && owner->owner != XCB_NONE;
}

bool XcbShaper::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (xfixesFirstEvent_ == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != xfixesFirstEvent_ + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection != managerSelection_)
        return false;
    const bool compositing = notify->owner != XCB_NONE;
    if (compositing != compositing_) {
        compositing_ = compositing;
        Q_EMIT compositingChanged();
    }
    return false; // Qt keeps its own account of the manager too
}

void XcbShaper::cut(QWidget& window, xcb_shape_kind_t kind, const QRegion& region) {
    const auto id = xcb_window_t(window.internalWinId());
    if (!id)
        return; // the window's owner shapes the native window once it is made
    QList<xcb_rectangle_t> cells;
    cells.reserve(region.rectCount());
    for (const QRect& cell : region)
        cells << xcb_rectangle_t{int16_t(cell.x()), int16_t(cell.y()), uint16_t(cell.width()),
                                 uint16_t(cell.height())};
    // No request may exceed the server's limit: a region of many cells goes in parts, the
    // first replacing the shape and the rest adding to it. A region's cells come in bands
    // from the top down, each sorted left to right, and so does any run of them.
    const qsizetype perRequest =
        qsizetype((qsizetype(xcb_get_maximum_request_length(connection_)) * 4 - 32) / 8);
    qsizetype sent = 0;
    do {
        const qsizetype count = std::min(perRequest, cells.size() - sent);
        xcb_shape_rectangles(connection_, sent == 0 ? XCB_SHAPE_SO_SET : XCB_SHAPE_SO_UNION, kind,
                             XCB_CLIP_ORDERING_YX_BANDED, id, 0, 0, uint32_t(count),
                             cells.constData() + sent);
        sent += count;
    } while (sent < cells.size());
    // The other kind goes back to the whole window when the kind in use changes.
    const auto last = cutWith_.constFind(id);
    if (last == cutWith_.cend() || *last != kind) {
        const xcb_shape_kind_t other =
            kind == XCB_SHAPE_SK_BOUNDING ? XCB_SHAPE_SK_INPUT : XCB_SHAPE_SK_BOUNDING;
        xcb_shape_mask(connection_, XCB_SHAPE_SO_SET, other, id, 0, 0, XCB_NONE);
        cutWith_.insert(id, kind);
    }
    xcb_flush(connection_);
}

} // namespace

std::unique_ptr<WindowPresenter> systemWindowPresenter() {
    // Under a Wayland compositor an X11 window can neither place itself nor, on most of
    // them, let clicks through to Wayland windows; a layer surface can.
    if (std::unique_ptr<WindowPresenter> layers = layerShellPresenter())
        return layers;
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection())
        return std::make_unique<XcbShaper>(x11->connection());
    return std::make_unique<MaskShaper>();
}
