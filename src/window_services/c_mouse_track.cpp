#include "window_services/c_mouse_track.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QWidget>

namespace MouseMessage {

qint32 packClientPoint(QPoint point) {
    const quint32 low = static_cast<quint16>(point.x());
    const quint32 high = static_cast<quint16>(point.y());
    return static_cast<qint32>((high << 16) | low);
}

QPoint decodeClientPoint(qint32 lParam) {
    return {static_cast<int>(static_cast<quint32>(lParam) & 0xFFFFu), lParam / 65536};
}

int buttonBits(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftBits(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0);
}

} // namespace MouseMessage

namespace {

// The executable's name as the program's own name: no folder, no ".exe".
QString errorSource() {
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name + QLatin1String(".cMouseTrack");
}

bool isCaptureButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

bool isActivation(QEvent::Type type) {
    return type == QEvent::WindowActivate || type == QEvent::WindowDeactivate ||
           type == QEvent::ActivationChange;
}

} // namespace

cMouseTrack::cMouseTrack(MouseTrackPlatform& platform, QObject* parent)
    : QObject(parent), platform_(platform) {
    hoverTimer_.setSingleShot(true);
    connect(&hoverTimer_, &QTimer::timeout, this, &cMouseTrack::hoverTimedOut);
}

cMouseTrack::~cMouseTrack() {
    DetachMouseTracking();
}

void cMouseTrack::detectMethod() {
    commonControls_ = true;
    if (const std::optional<SystemVersion> version = platform_.systemVersion()) {
        if ((version->platformId == SystemVersion::PlatformNt && version->majorVersion > 3) ||
            version->majorVersion >= 5)
            commonControls_ = false;
    }
    if (commonControls_) {
        const CommonControlsVersion library = platform_.commonControlsVersion();
        const bool recentEnough = library.major > 4 || (library.major == 4 && library.minor > 70);
        if (!(library.loaded && library.entryFound && library.result == 0 && recentEnough)) {
            commonControls_ = false;
            capture_ = true;
        }
    }
    method_ = commonControls_ ? TrackMethodCommonControls
                              : (capture_ ? TrackMethodCapture : TrackMethodSystem);
}

void cMouseTrack::AttachMouseTracking(QWidget* objTo, int eForceMethod) {
    commonControls_ = false;
    capture_ = false;
    if (eForceMethod == TrackMethodDetect) {
        detectMethod();
    } else {
        commonControls_ = eForceMethod == TrackMethodCommonControls;
        capture_ = eForceMethod == TrackMethodCapture;
        method_ = eForceMethod;
    }
    DetachMouseTracking();

    trackedWindow_ = objTo;
    if (!objTo)
        return;
    attached_ = true;
    attachedByCapture_ = capture_;
    // The hover wait and the capture method follow the pointer as it moves without a
    // button held, which Qt only reports to widgets that ask for it.
    hadMouseTracking_ = objTo->hasMouseTracking();
    objTo->setMouseTracking(true);
    objTo->installEventFilter(this);
    if (capture_) {
        // Activation belongs to the containing top-level window, not to the widget.
        QWidget* parentWidget = objTo->parentWidget();
        parentWindow_ = parentWidget ? parentWidget->window() : nullptr;
        if (parentWindow_)
            parentWindow_->installEventFilter(this);
    }
}

std::optional<MouseTrackError> cMouseTrack::StartMouseTracking() {
    if (tracking_)
        return std::nullopt;
    QWidget* window = trackedWindow_.data();
    std::optional<MouseTrackError> error;
    if (commonControls_)
        error = platform_.commonControlsTrackMouseEvent(window);
    else if (capture_)
        error = platform_.setCapture(window);
    else
        error = platform_.trackMouseEvent(window);
    if (error) {
        error->source = errorSource();
        return error;
    }
    if (!capture_ && window) {
        leaveRequested_ = true;
        hoverTimer_.start(platform_.hoverTimeMs());
    }
    tracking_ = true;
    return std::nullopt;
}

void cMouseTrack::DetachMouseTracking() {
    if (!attached_)
        return;
    if (attachedByCapture_)
        platform_.releaseCapture(trackedWindow_.data());
    if (trackedWindow_) {
        trackedWindow_->removeEventFilter(this);
        trackedWindow_->setMouseTracking(hadMouseTracking_);
    }
    if (parentWindow_)
        parentWindow_->removeEventFilter(this);
    leaveRequested_ = false;
    hoverTimer_.stop();
    trackedWindow_.clear();
    parentWindow_.clear();
    attached_ = false;
}

bool cMouseTrack::eventFilter(QObject* watched, QEvent* event) {
    if (!attached_)
        return false;
    if (watched == trackedWindow_.data()) {
        if (!attachedByCapture_)
            hoverLeaveEvent(event);
        else if (event->type() == QEvent::MouseMove ||
                 (event->type() == QEvent::MouseButtonRelease &&
                  isCaptureButton(static_cast<QMouseEvent*>(event)->button())))
            captureMouseEvent(static_cast<QMouseEvent*>(event));
    } else if (watched == parentWindow_.data() && isActivation(event->type())) {
        parentActivated();
    }
    return false;
}

void cMouseTrack::hoverLeaveEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        lastPoint_ = static_cast<QEnterEvent*>(event)->position().toPoint();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        // The pointer is not resting while it moves: the hover wait starts over.
        if (hoverTimer_.isActive() && point != lastPoint_)
            hoverTimer_.start();
        lastPoint_ = point;
        break;
    }
    case QEvent::Leave:
        if (leaveRequested_) {
            leaveRequested_ = false;
            hoverTimer_.stop();
            tracking_ = false;
            Q_EMIT MouseLeave();
        }
        break;
    default:
        break;
    }
}

void cMouseTrack::hoverTimedOut() {
    if (!trackedWindow_)
        return;
    tracking_ = false;
    const QPoint point = MouseMessage::decodeClientPoint(MouseMessage::packClientPoint(lastPoint_));
    Q_EMIT MouseHover(MouseMessage::buttonBits(platform_.mouseButtons()),
                      MouseMessage::shiftBits(platform_.keyboardModifiers()),
                      static_cast<float>(point.x()), static_cast<float>(point.y()));
}

void cMouseTrack::captureMouseEvent(QMouseEvent* event) {
    QWidget* window = trackedWindow_.data();
    const QPoint point =
        MouseMessage::decodeClientPoint(MouseMessage::packClientPoint(event->position().toPoint()));
    // Child widgets count as the tracked widget: they stand for the windowless controls
    // drawn on it, which a pointer search would not stop at either.
    QWidget* under = platform_.windowFromPoint(window->mapToGlobal(point));
    const bool overWindow = under && (under == window || window->isAncestorOf(under));
    if (window->rect().contains(point) && overWindow) {
        if (event->type() == QEvent::MouseButtonRelease) {
            // Releasing a button ends a capture, so it is taken anew.
            tracking_ = false;
            StartMouseTracking();
        }
        return;
    }
    // A held button is a drag that may come back; the capture stays until it is released.
    if (platform_.mouseButtons() & (Qt::LeftButton | Qt::MiddleButton | Qt::RightButton))
        return;
    endCycleWithLeave();
}

void cMouseTrack::parentActivated() {
    if (tracking_)
        endCycleWithLeave();
}

void cMouseTrack::endCycleWithLeave() {
    tracking_ = false;
    platform_.releaseCapture(trackedWindow_.data());
    Q_EMIT MouseLeave();
}
