#include "forms/frm_show.h"

#include "desktop_lyric/lyric_settings.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "forms/design_units.h"
#include "player/dialogs.h"
#include "window_services/lyric_window_shape.h"
#include "window_services/screen_placement.h"
#include "window_services/window_presenter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTransform>

namespace {

constexpr int DesignWidthTwips = 17775;
constexpr int DesignHeightTwips = 1665;
constexpr int DragSettleMs = 300;

} // namespace

FrmShow::FrmShow(LyricSettings& settings, FrmShowServices services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      settings_(settings), services_(std::move(services)) {
    setObjectName(QStringLiteral("FrmShow"));
    // The lyric floats over whatever the user works in and takes no keys: shown or clicked,
    // it leaves the keyboard where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Form1"));
    // Per-pixel alpha needs a window created with an alpha channel, so before any native
    // window exists.
    setAttribute(Qt::WA_TranslucentBackground);
    resize(twipsToPixels(DesignWidthTwips), twipsToPixels(DesignHeightTwips));
    services_.presenter.attach(*this);
    // Shown before its first picture, an unshaped window would be a black strip wherever
    // no compositing manager blends it with what lies behind.
    sendShape();
    connect(&services_.presenter, &WindowPresenter::compositingChanged, this, &FrmShow::reshape);
    connect(&services_.screen, &ScreenGeometry::changed, this, [this] { followScreens(false); });
    if (LyricWindowPreferences* preferences = services_.preferences) {
        connect(preferences, &LyricWindowPreferences::screenChosen, this,
                [this] { followScreens(true); });
        connect(preferences, &LyricWindowPreferences::lockedChanged, this, &FrmShow::reshape);
    }
    dragSettle_.setSingleShot(true);
    dragSettle_.setInterval(DragSettleMs);
    connect(&dragSettle_, &QTimer::timeout, this, &FrmShow::dragEnded);
    // A new font or new colours show on the line that is up.
    connect(&settings_, &LyricSettings::styleChanged, this, [this] {
        if (loaded_ && !picture_.isEmpty())
            schedulePresent();
    });
    load();
}

FrmShow::~FrmShow() = default;

bool FrmShow::load() {
    if (loaded_)
        return true;
    // While the failure message is up its event loop keeps the playback tick running, which
    // would otherwise stack one message on another.
    if (reportingFailure_)
        return false;
    if (const auto screen = chosenScreen())
        placeOn(*screen, false);
    if (services_.startGraphics && !services_.startGraphics()) {
        reportingFailure_ = true;
        // No owner: this window is not on screen to own a message.
        services_.dialogs.showError(nullptr, QStringLiteral("a gdi+ Init Error"),
                                    QStringLiteral("Faild to Load GDI+! Please ReInstall your "
                                                   "Application"));
        reportingFailure_ = false;
        unload();
        return false;
    }
    loaded_ = true;
    return true;
}

void FrmShow::unload() {
    loaded_ = false;
    picture_ = LyricPicture();
    reshape();
    QWidget::setVisible(false);
}

// Placing the window is no drag, and ends one, unless it moves while it shows: then whatever
// goes along with the window (the toolbar) is carried along, and told where the window rests.
void FrmShow::placeOn(const DesktopScreen& screen, bool carryAlong) {
    dragSettle_.stop();
    setGeometry(placement_.placeOn(screen, height()));
    if (!carryAlong) {
        lastPosition_ = pos();
        return;
    }
    // A shown window has just told its move; a hidden one is told now rather than at show.
    const QPoint delta = pos() - lastPosition_;
    lastPosition_ = pos();
    if (loaded_ && !delta.isNull())
        Q_EMIT movedBy(delta);
    Q_EMIT restsOn(placement_.screen());
}

// The window's screen changed, came back or went, or the user chose another.
void FrmShow::followScreens(bool userChose) {
    if (!loaded_)
        return;
    if (const auto screen =
            placement_.screenToFollow(services_.screen.screens(), chosenScreenName(), userChose))
        moveTo(*screen);
}

// The screen the user chose while it is present, else the primary.
std::optional<DesktopScreen> FrmShow::chosenScreen() const {
    return ScreenPlacement::screenFor(services_.screen.screens(), chosenScreenName());
}

QString FrmShow::chosenScreenName() const {
    return services_.preferences ? services_.preferences->screenName() : QString();
}

// Moves the window, and what goes along with it, onto screen; a screen of another width
// lays the line out anew.
void FrmShow::moveTo(const DesktopScreen& screen) {
    const int width = placement_.screen().geometry.width();
    placeOn(screen, true);
    if (!picture_.isEmpty() && screen.geometry.width() != width)
        schedulePresent();
}

// A layer surface cannot leave its output by a drag.
void FrmShow::dragEnded() {
    dragSettle_.stop();
    const LyricWindowPlacement::DragEnd end = placement_.dragEnded(
        services_.screen.screens(), geometry(), services_.presenter.drawsWindows());
    switch (end.kind) {
    case LyricWindowPlacement::DragEnd::Kind::Nothing:
        break;
    case LyricWindowPlacement::DragEnd::Kind::RestsHere:
        Q_EMIT restsOn(end.screen);
        break;
    case LyricWindowPlacement::DragEnd::Kind::MovesTo:
        moveTo(end.screen);
        if (services_.preferences)
            services_.preferences->setScreenName(end.screen.name);
        break;
    }
}

bool FrmShow::locked() const {
    return services_.preferences && services_.preferences->locked();
}

void FrmShow::RefreshText() {
    DrawText(text_);
}

void FrmShow::DrawText(const QString& text) {
    if (text.isEmpty())
        return;
    text_ = text;
    if (!load())
        return;
    schedulePresent();
}

// Lines of the same second arrive one after another within one tick, and only the last of
// them can ever be seen: the picture is made once the caller is done, from the text and
// style as they then stand.
void FrmShow::schedulePresent() {
    if (!presentPending_) {
        presentPending_ = true;
        QMetaObject::invokeMethod(this, &FrmShow::present, Qt::QueuedConnection);
    }
}

const QImage& FrmShow::picture() {
    present();
    return picture_.image();
}

void FrmShow::present() {
    if (!presentPending_)
        return;
    presentPending_ = false;
    if (!loaded_)
        return;
    const QRect before = inkArea();
    // The layout spans the whole screen, whatever the window's own width; the picture has
    // the screen's own pixels.
    const QString& text = text_;
    const LyricStyle style = settings_.style();
    const int layoutWidth = placement_.screen().geometry.width();
    if (picture_.isDrawingOf(text, style, size(), layoutWidth, devicePixelRatio()))
        return;
    const LyricWindowShape::Redraw redraw =
        shape_.redrawn(!picture_.hasGlyphsOf(text, style, size(), layoutWidth, devicePixelRatio()));
    if (redraw.meanwhile != shape_) {
        shape_ = redraw.meanwhile;
        sendShape();
    }
    picture_.draw(text, style, size(), layoutWidth, devicePixelRatio());
    // Only where the old line or the new one has ink: the rest stays transparent.
    const QRect changed = before | inkArea();
    if (redraw.pictureFirst) {
        services_.presenter.present(*this, picture_.image(), changed);
        reshape();
    } else {
        reshape();
        services_.presenter.present(*this, picture_.image(), changed);
    }
}

// Where the picture has ink, in its device pixels.
QRect FrmShow::inkBounds() const {
    QRect ink;
    for (const QRect& box : picture_.inkBoxes())
        ink |= box;
    return ink;
}

// The same in the window's logical pixels, taking in every pixel it touches.
QRect FrmShow::inkArea() const {
    const qreal scale = picture_.image().devicePixelRatio();
    return QTransform::fromScale(1 / scale, 1 / scale).mapRect(QRectF(inkBounds())).toAlignedRect();
}

// A new picture costs the window system a shape only where its cut differs from the last
// one: reshaping a window is costly for the X server.
void FrmShow::reshape() {
    const LyricWindowShape next = LyricWindowShape::of(picture_.image(), picture_.inkBoxes(),
                                                       services_.presenter.compositing(), locked());
    if (next == shape_)
        return;
    shape_ = next;
    sendShape();
}

void FrmShow::sendShape() {
    shape_.sendTo(services_.presenter, *this);
}

void FrmShow::setVisible(bool visible) {
    if (visible && !load())
        return;
    QWidget::setVisible(visible);
}

bool FrmShow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ContextMenu:
        // Locked, a right press belongs to the window beneath, never to a menu here.
        if (locked())
            return true;
        break;
    case QEvent::WinIdChange:
        // A new native window comes without the shape.
        sendShape();
        break;
    case QEvent::ScreenChangeInternal:
        // Another screen may have another density.
        if (loaded_ && !picture_.isEmpty())
            schedulePresent();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void FrmShow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture_.isEmpty())
        painter.fillRect(rect(), Qt::transparent);
    else
        painter.drawImage(0, 0, picture_.image());
}

void FrmShow::mousePressEvent(QMouseEvent* event) {
    if (locked())
        return;
    // With a menu of its own, the right button opens the menu rather than drag the window.
    if (event->button() == Qt::RightButton && contextMenuPolicy() == Qt::CustomContextMenu)
        return;
    Q_EMIT dragStarted();
    placement_.pressed();
    drag_.begin(*this, *event);
}

void FrmShow::mouseMoveEvent(QMouseEvent* event) {
    drag_.track(*this, *event);
}

void FrmShow::mouseReleaseEvent(QMouseEvent* event) {
    drag_.track(*this, *event);
    switch (placement_.released(event->buttons() != Qt::NoButton, drag_.byWindowSystem())) {
    case LyricWindowPlacement::AfterRelease::Nothing:
        break;
    case LyricWindowPlacement::AfterRelease::Settle:
        dragSettle_.start();
        break;
    case LyricWindowPlacement::AfterRelease::End:
        dragEnded();
        break;
    }
}

void FrmShow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    const QPoint delta = pos() - lastPosition_;
    lastPosition_ = pos();
    if (loaded_ && !delta.isNull())
        Q_EMIT movedBy(delta);
    if (placement_.moveBelongsToDrag())
        dragSettle_.start();
}
