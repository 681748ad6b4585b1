#include "platform/presenters/layer_shell_presenter.h"

#include "platform/presenters/layer_buffer_scale.h"
#include "platform/presenters/layer_globals_wayland.h"
#include "platform/presenters/layer_outputs_wayland.h"
#include "platform/presenters/layer_reading.h"
#include "platform/presenters/layer_shm_buffer_wayland.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QTransform>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>
#include <vector>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <wlr-layer-shell-unstable-v1-client-protocol.h>

namespace {

class LayerShellPresenter final : public WindowPresenter {
public:
    static std::unique_ptr<LayerShellPresenter> connect();
    ~LayerShellPresenter() override;

    bool compositing() const override { return true; }
    // A layer surface always blends its pixels with what lies behind, so a visible region is
    // only where it takes the pointer.
    void showOnly(QWidget& window, const QRegion& visible) override { setInput(window, visible); }
    void takeInputOnly(QWidget& window, const QRegion& input) override { setInput(window, input); }
    void showOnlyWithoutInput(QWidget& window, const QRegion&) override {
        setInput(window, QRegion());
    }
    bool drawsWindows() const override { return true; }
    const ScreenGeometry* screens() const override { return &outputs_; }
    void attach(QWidget& window) override;

protected:
    void showChange(QWidget& window, const QImage& picture, const QRect& changed) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Surface : PointedWindow {
        LayerShellPresenter* owner = nullptr;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        wl_output* output = nullptr; // the one the surface was made on; none: compositor's
        bool configured = false;
        wp_viewport* viewport = nullptr;
        LayerBufferScale fit;
        bool inputPending = false; // a new input region waits for its commit
        QImage picture;
        QRect damage;  // device pixels of the picture not yet sent
        QRegion input; // device pixels of the picture
    };

    explicit LayerShellPresenter(wl_display* display)
        : display_(display), outputs_([this] { followOutputs(); }),
          seat_([this](const wl_surface* surface) { return surfaceOf(surface); }) {}
    bool bindGlobals();

    Surface* surfaceOf(const QWidget* window);
    Surface* surfaceOf(const wl_surface* surface);
    void map(Surface& surface);
    void unmap(Surface& surface);
    void place(Surface& surface);
    wl_output* outputFor(const QWidget& window) const;
    void followOutputs();
    void remapLater(Surface& surface);
    void commit(Surface& surface);
    void setInput(QWidget& window, const QRegion& input);
    void attachPicture(Surface& surface);
    void fitToSurface(Surface& surface);
    bool connectionLost();
    void loseConnection();
    void flush();
    void dispatch();

    static const zwlr_layer_surface_v1_listener layerListener;

    wl_display* display_;
    bool lost_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    std::set<LayerShmBuffer*> buffers_; // handed to the compositor and not yet let go
    LayerOutputs outputs_;
    LayerSeat seat_;
    LayerGlobals globals_{outputs_, seat_};
};

const zwlr_layer_surface_v1_listener LayerShellPresenter::layerListener = {
    // configure
    [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t, uint32_t) {
        auto* surface = static_cast<Surface*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        const bool first = !surface->configured;
        surface->configured = true;
        if (first)
            surface->owner->commit(*surface);
    },
    // closed: the compositor took the surface away (its output went). A window still shown
    // gets a new surface at once, on the output of the screen it is then on.
    [](void* data, zwlr_layer_surface_v1*) {
        auto* surface = static_cast<Surface*>(data);
        surface->owner->unmap(*surface);
        surface->owner->remapLater(*surface);
    },
};

std::unique_ptr<LayerShellPresenter> LayerShellPresenter::connect() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<LayerShellPresenter> presenter(new LayerShellPresenter(display));
    if (!presenter->bindGlobals())
        return nullptr;
    return presenter;
}

bool LayerShellPresenter::bindGlobals() {
    if (!globals_.bind(display_))
        return false;
    // Everything after this runs from Qt's event loop whenever the compositor has spoken.
    notifier_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this,
                     &LayerShellPresenter::dispatch);
    return true;
}

LayerShellPresenter::~LayerShellPresenter() {
    notifier_.reset();
    for (const auto& surface : surfaces_) {
        if (surface->window)
            surface->window->removeEventFilter(this);
        unmap(*surface);
    }
    globals_.release();
    while (!buffers_.empty())
        delete *buffers_.begin();
    wl_display_disconnect(display_);
}

void LayerShellPresenter::dispatch() {
    const bool read = readWayland({[this] { return wl_display_prepare_read(display_); },
                                   [this] { return wl_display_dispatch_pending(display_); },
                                   [this] { return wl_display_read_events(display_); }});
    if (!read) {
        loseConnection();
        return;
    }
    if (!connectionLost())
        flush();
}

bool LayerShellPresenter::connectionLost() {
    if (!lost_ && wl_display_get_error(display_) != 0)
        loseConnection();
    return lost_;
}

// After a protocol error, or once the compositor has gone, the connection takes nothing
// more: it is read no more, nothing is committed, and the buffers it would never give back
// are freed now.
void LayerShellPresenter::loseConnection() {
    if (std::exchange(lost_, true))
        return;
    const int error = wl_display_get_error(display_);
    notifier_->setEnabled(false);
    while (!buffers_.empty())
        delete *buffers_.begin();
    for (const auto& surface : surfaces_)
        surface->picture = QImage();
    qWarning("the desktop lyric cannot be shown any more: the compositor ended its connection "
             "(%s)",
             std::strerror(error != 0 ? error : EPIPE));
}

void LayerShellPresenter::flush() {
    wl_display_flush(display_);
}

LayerShellPresenter::Surface* LayerShellPresenter::surfaceOf(const QWidget* window) {
    for (const auto& surface : surfaces_)
        if (surface->window == window)
            return surface.get();
    return nullptr;
}

LayerShellPresenter::Surface* LayerShellPresenter::surfaceOf(const wl_surface* wayland) {
    for (const auto& surface : surfaces_)
        if (wayland && surface->surface == wayland)
            return surface.get();
    return nullptr;
}

void LayerShellPresenter::attach(QWidget& window) {
    if (surfaceOf(&window))
        return;
    // Shown and hidden as ever, but never on Qt's screen: the layer surface is the window.
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.installEventFilter(this);
    auto surface = std::make_unique<Surface>();
    surface->owner = this;
    surface->window = &window;
    surfaces_.push_back(std::move(surface));
}

bool LayerShellPresenter::eventFilter(QObject* watched, QEvent* event) {
    Surface* surface = surfaceOf(qobject_cast<QWidget*>(watched));
    if (!surface)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        map(*surface);
        break;
    case QEvent::Hide:
        unmap(*surface);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        place(*surface);
        break;
    case QEvent::Destroy:
        unmap(*surface);
        break;
    default:
        break;
    }
    return false;
}

void LayerShellPresenter::map(Surface& surface) {
    if (surface.layer || !surface.window || connectionLost())
        return;
    QWidget& window = *surface.window;
    surface.surface = wl_compositor_create_surface(globals_.compositor);
    // The overlay layer lies above every window, fullscreen ones included, on the output that
    // shows the window's screen; where none does, the compositor chooses.
    surface.output = outputFor(window);
    surface.layer = zwlr_layer_shell_v1_get_layer_surface(
        globals_.layerShell, surface.surface, surface.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
        "vellora-desktop-lyric");
    zwlr_layer_surface_v1_add_listener(surface.layer, &layerListener, &surface);
    zwlr_layer_surface_v1_set_size(surface.layer, uint32_t(window.width()),
                                   uint32_t(window.height()));
    zwlr_layer_surface_v1_set_anchor(surface.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                        ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    // Zone 0: kept clear of the panels' exclusive zones, taking none of its own.
    zwlr_layer_surface_v1_set_exclusive_zone(surface.layer, 0);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface.layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    surface.configured = false;
    // A new surface has none of the picture yet.
    surface.damage = surface.picture.rect();
    place(surface);
    // The first commit carries no picture: the compositor answers with a configure first.
    wl_surface_commit(surface.surface);
    flush();
}

void LayerShellPresenter::unmap(Surface& surface) {
    seat_.surfaceGone(&surface);
    if (surface.viewport)
        wp_viewport_destroy(surface.viewport);
    if (surface.layer)
        zwlr_layer_surface_v1_destroy(surface.layer);
    if (surface.surface)
        wl_surface_destroy(surface.surface);
    surface.viewport = nullptr;
    surface.layer = nullptr;
    surface.surface = nullptr;
    surface.configured = false;
    flush();
}

// The output that holds the window's middle, else the primary.
wl_output* LayerShellPresenter::outputFor(const QWidget& window) const {
    return outputs_.at(window.geometry().center());
}

// An output came or went: a shown window whose screen another output now shows, or whose
// surface went with its output, gets a surface there.
void LayerShellPresenter::followOutputs() {
    if (!globals_.compositor || !globals_.layerShell)
        return;
    for (const auto& surface : surfaces_)
        if (surface->window && surface->window->isVisible() &&
            (!surface->layer || outputFor(*surface->window) != surface->output)) {
            unmap(*surface);
            map(*surface);
        }
}

// Not from within the compositor's own event, whose surface is being taken apart.
void LayerShellPresenter::remapLater(Surface& surface) {
    QMetaObject::invokeMethod(
        this,
        [this, window = surface.window] {
            if (Surface* again = surfaceOf(window); again && window && window->isVisible())
                map(*again);
        },
        Qt::QueuedConnection);
}

// The window's position in Qt's coordinates, as margins from the bottom-left corner of its
// output: a window at the output's bottom has no bottom margin, and the compositor keeps it
// above the panels. A window placed on another output moves there, as a new surface.
void LayerShellPresenter::place(Surface& surface) {
    if (!surface.layer || !surface.window)
        return;
    const QWidget& window = *surface.window;
    if (outputFor(window) != surface.output) {
        unmap(surface);
        map(surface);
        return;
    }
    QRect work = outputs_.area(surface.output);
    if (work.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        work = screen ? screen->availableGeometry() : QRect();
    }
    const QRect placed = window.geometry();
    zwlr_layer_surface_v1_set_size(surface.layer, uint32_t(placed.width()),
                                   uint32_t(placed.height()));
    zwlr_layer_surface_v1_set_margin(surface.layer, 0, 0,
                                     (work.y() + work.height()) - (placed.y() + placed.height()),
                                     placed.x() - work.x());
    surface.placed = placed.topLeft();
    if (surface.configured) {
        wl_surface_commit(surface.surface);
        flush();
    }
}

void LayerShellPresenter::showChange(QWidget& window, const QImage& picture, const QRect& changed) {
    Surface* surface = surfaceOf(&window);
    if (!surface)
        return;
    surface->picture = picture;
    surface->damage |= changed;
    commit(*surface);
}

void LayerShellPresenter::setInput(QWidget& window, const QRegion& input) {
    Surface* surface = surfaceOf(&window);
    if (!surface || surface->input == input)
        return;
    surface->input = input;
    // A window reshaped for a new picture presents it in the same pass: one commit then
    // carries both, and the compositor draws the strip once for the line.
    if (std::exchange(surface->inputPending, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QWidget>(&window)] {
            if (Surface* again = target ? surfaceOf(target.data()) : nullptr;
                again && again->inputPending)
                commit(*again);
        },
        Qt::QueuedConnection);
}

void LayerShellPresenter::commit(Surface& surface) {
    surface.inputPending = false;
    if (!surface.configured || !surface.surface || connectionLost())
        return;
    // Only a new picture is attached, and damaged only where it changed: a new input region
    // alone leaves the compositor nothing to draw again.
    if (!surface.picture.isNull() && !surface.damage.isEmpty())
        attachPicture(surface);
    // The input region is in the surface's coordinates; every device pixel of the window's
    // region is taken in.
    wl_region* region = wl_compositor_create_region(globals_.compositor);
    const double toSurface = 1.0 / surface.fit.devicePerLogical;
    const QTransform toLogical = QTransform::fromScale(toSurface, toSurface);
    for (const QRect& cell : surface.input) {
        const QRect logical = toLogical.mapRect(QRectF(cell)).toAlignedRect();
        wl_region_add(region, logical.x(), logical.y(), logical.width(), logical.height());
    }
    wl_surface_set_input_region(surface.surface, region);
    wl_region_destroy(region);
    wl_surface_commit(surface.surface);
    flush();
}

void LayerShellPresenter::attachPicture(Surface& surface) {
    const QImage& picture = surface.picture;
    const LayerShmBuffer* buffer = LayerShmBuffer::make(globals_.shm, picture, buffers_);
    if (!buffer)
        return;
    surface.fit = layerBufferScale(picture.size(), picture.devicePixelRatio(),
                                   globals_.viewporter != nullptr);
    fitToSurface(surface);
    wl_surface_attach(surface.surface, buffer->buffer, 0, 0);
    // Damage in the buffer's own pixels needs a surface of version 4; an older one is damaged
    // whole.
    const QRect& damage = surface.damage;
    if (wl_surface_get_version(surface.surface) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
        wl_surface_damage_buffer(surface.surface, damage.x(), damage.y(), damage.width(),
                                 damage.height());
    else
        wl_surface_damage(surface.surface, 0, 0, INT32_MAX, INT32_MAX);
    surface.damage = QRect();
}

// An integer scale shows the picture's device pixels at the window's logical size by
// itself; any other ratio goes through the viewport.
void LayerShellPresenter::fitToSurface(Surface& surface) {
    wl_surface_set_buffer_scale(surface.surface, surface.fit.bufferScale);
    if (surface.fit.viewport && !surface.viewport)
        surface.viewport = wp_viewporter_get_viewport(globals_.viewporter, surface.surface);
    if (!surface.viewport)
        return;
    const QSize logical = surface.fit.viewport && surface.window ? surface.window->size() : QSize();
    wp_viewport_set_destination(surface.viewport, logical.isEmpty() ? -1 : logical.width(),
                                logical.isEmpty() ? -1 : logical.height());
}

} // namespace

std::unique_ptr<WindowPresenter> layerShellPresenter() {
    return LayerShellPresenter::connect();
}
