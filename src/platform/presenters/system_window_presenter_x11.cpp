#include "platform/presenters/system_window_presenter.h"

#include "base/malloced.h"
#include "platform/presenters/layer_shell_presenter.h"
#include "platform/presenters/mutter_input_renewal_x11.h"
#include "window_services/window_shape.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QTransform>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <tuple>
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
        takeNoInput(window, false);
        const qreal scale = window.devicePixelRatio();
        if (visible.isEmpty())
            window.setMask(WindowShape::nothingVisible());
        else if (scale == 1)
            window.setMask(visible);
        else
            window.setMask(QTransform::fromScale(1 / scale, 1 / scale).map(visible));
    }

    void showOnlyWithoutInput(QWidget& window, const QRegion& visible) override {
        showOnly(window, visible);
        takeNoInput(window, true);
    }

    void takeInputOnly(QWidget& window, const QRegion&) override { window.clearMask(); }

    // Qt's Wayland platform paints a part of a translucent window over what an older buffer
    // held there, so a new line would show over the last one: the whole window is redrawn.
protected:
    void showChange(QWidget& window, const QImage&, const QRect&) override { window.update(); }

private:
    // Through the native window once there is one: a widget's new flags would hide it.
    static void takeNoInput(QWidget& window, bool none) {
        if (QWindow* handle = window.windowHandle())
            handle->setFlag(Qt::WindowTransparentForInput, none);
        else if (window.windowFlags().testFlag(Qt::WindowTransparentForInput) != none)
            window.setWindowFlag(Qt::WindowTransparentForInput, none);
    }
};

class XcbShaper final : public WindowPresenter, public QAbstractNativeEventFilter {
public:
    explicit XcbShaper(xcb_connection_t* connection);

    bool compositing() const override { return compositing_; }
    void showOnly(QWidget& window, const QRegion& visible) override {
        cut(window, visible, std::nullopt);
        if (inputRenewal_)
            inputRenewal_->forget(window);
    }
    void showOnlyWithoutInput(QWidget& window, const QRegion& visible) override {
        cut(window, visible, QRegion());
        if (inputRenewal_)
            inputRenewal_->forget(window);
    }
    void takeInputOnly(QWidget& window, const QRegion& input) override {
        cut(window, std::nullopt, input);
        if (inputRenewal_)
            inputRenewal_->inputIs(window, input);
    }
    void attach(QWidget& window) override {
        window.installEventFilter(this);
        if (!inputRenewal_ && isMutter(windowManagerName()))
            inputRenewal_ = std::make_unique<MutterInputRenewal>(
                MutterInputRenewal::Atoms{atom("_NET_WM_STATE"), atom("_NET_WM_STATE_SKIP_PAGER")},
                connection_, [this](QWidget& shaped, const QRegion& input) {
                    cut(shaped, std::nullopt, input);
                });
        if (inputRenewal_)
            inputRenewal_->watch(window);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cut(QWidget& window, const std::optional<QRegion>& bounding,
             const std::optional<QRegion>& input);
    void send(xcb_window_t id, xcb_shape_kind_t kind, const QRegion& region);
    xcb_atom_t atom(const char* name) const;
    QByteArray windowManagerName() const;
    void addStates(xcb_window_t id, const QList<xcb_atom_t>& states);
    void showOnEveryWorkspace(QWidget& window);
    void keepShownUnderKWin(QWidget& window);
    static bool isMutter(const QByteArray& manager) {
        return manager == "Mutter" || manager == "GNOME Shell";
    }

    xcb_connection_t* connection_;
    xcb_atom_t managerSelection_ = XCB_NONE;
    uint8_t xfixesFirstEvent_ = 0; // 0: no XFixes, so a manager is seen only at start
    bool compositing_ = false;
    // The kinds of shape each window is cut with now; a kind not named is whole.
    struct Cuts {
        bool bounding = false;
        bool input = false;
    };
    QHash<xcb_window_t, Cuts> cutWith_;
    std::unique_ptr<MutterInputRenewal> inputRenewal_; // under mutter only
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
    const Malloced<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
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
    const Malloced<xcb_get_selection_owner_reply_t> owner{xcb_get_selection_owner_reply(
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

xcb_atom_t XcbShaper::atom(const char* name) const {
    const Malloced<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, uint16_t(qstrlen(name)), name), nullptr)};
    return reply ? reply->atom : XCB_NONE;
}

// The name the running window manager gives itself on its check window.
QByteArray XcbShaper::windowManagerName() const {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const Malloced<xcb_get_property_reply_t> check{xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0,
                         1),
        nullptr)};
    if (!check || xcb_get_property_value_length(check.get()) != 4)
        return {};
    const auto manager = *static_cast<const xcb_window_t*>(xcb_get_property_value(check.get()));
    const Malloced<xcb_get_property_reply_t> name{
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, manager, atom("_NET_WM_NAME"),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                               nullptr)};
    if (!name)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(name.get())),
                      xcb_get_property_value_length(name.get()));
}

bool XcbShaper::eventFilter(QObject* watched, QEvent* event) {
    // Sent once the native window exists and before it is mapped, when its type and states
    // are still the window's to set.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        showOnEveryWorkspace(*static_cast<QWidget*>(watched));
        keepShownUnderKWin(*static_cast<QWidget*>(watched));
    }
    return false;
}

// Adds states to those the window will be mapped with; Qt adds its own to them at the map. A
// window manager takes the states away when the window is withdrawn, so each showing adds them.
void XcbShaper::addStates(xcb_window_t id, const QList<xcb_atom_t>& states) {
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const Malloced<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr)};
    const auto* held =
        reply ? static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get())) : nullptr;
    const QList<xcb_atom_t> present(
        held, held + (reply ? xcb_get_property_value_length(reply.get()) / 4 : 0));
    QList<xcb_atom_t> missing;
    for (const xcb_atom_t wanted : states)
        if (!present.contains(wanted))
            missing << wanted;
    if (!missing.isEmpty())
        xcb_change_property(connection_, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32,
                            uint32_t(missing.size()), missing.constData());
}

// The lyric shows the current line whichever workspace the user is on, as a layer surface
// does: the windows are sticky, and their desktop is every desktop for the managers that read
// only that.
void XcbShaper::showOnEveryWorkspace(QWidget& window) {
    const auto id = xcb_window_t(window.internalWinId());
    if (!id)
        return;
    constexpr uint32_t EveryDesktop = 0xFFFFFFFF;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, atom("_NET_WM_DESKTOP"),
                        XCB_ATOM_CARDINAL, 32, 1, &EveryDesktop);
    addStates(id, {atom("_NET_WM_STATE_STICKY")});
    xcb_flush(connection_);
}

// KWin hides the utility windows of every program but the active one (its default, on X11 and
// under Xwayland), and so would hide the lyric as soon as the user works elsewhere. Under
// KWin the windows are therefore ordinary ones, kept above the others as before and out of
// the taskbar and the pager by their states; every other manager keeps the utility type
// that already does all this.
void XcbShaper::keepShownUnderKWin(QWidget& window) {
    const auto id = xcb_window_t(window.internalWinId());
    if (!id || windowManagerName() != "KWin")
        return;
    const xcb_atom_t normal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &normal);
    addStates(id, {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")});
    xcb_flush(connection_);
}

// Each kind of shape is cut where a region is given and left whole where none is; a kind
// already whole is not sent again.
void XcbShaper::cut(QWidget& window, const std::optional<QRegion>& bounding,
                    const std::optional<QRegion>& input) {
    const auto id = xcb_window_t(window.internalWinId());
    if (!id)
        return; // the window's owner shapes the native window once it is made
    Cuts& cuts = cutWith_[id];
    for (const auto& [kind, region, isCut] :
         {std::tuple{XCB_SHAPE_SK_BOUNDING, &bounding, &cuts.bounding},
          std::tuple{XCB_SHAPE_SK_INPUT, &input, &cuts.input}}) {
        if (*region)
            send(id, kind, **region);
        else if (*isCut)
            xcb_shape_mask(connection_, XCB_SHAPE_SO_SET, kind, id, 0, 0, XCB_NONE);
        *isCut = region->has_value();
    }
    xcb_flush(connection_);
}

void XcbShaper::send(xcb_window_t id, xcb_shape_kind_t kind, const QRegion& region) {
    QList<xcb_rectangle_t> cells;
    cells.reserve(region.rectCount());
    for (const QRect& cell : region)
        cells << xcb_rectangle_t{int16_t(cell.x()), int16_t(cell.y()), uint16_t(cell.width()),
                                 uint16_t(cell.height())};
    // No request may exceed the server's limit: a region of many cells goes in parts, the
    // first replacing the shape and the rest adding to it. A region's cells come in bands
    // from the top down, each sorted left to right, and so does any run of them. An empty
    // region is one request without cells, which leaves nothing of the kind.
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
