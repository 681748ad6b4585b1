#include "platform/desktop/system_mouse_track_platform.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

std::optional<SystemVersion> SystemMouseTrackPlatform::systemVersion() {
    // Answer as a current NT system, which selects the hover-and-leave method that Qt's
    // own enter and leave events serve.
    return SystemVersion{SystemVersion::PlatformNt, 6};
}

CommonControlsVersion SystemMouseTrackPlatform::commonControlsVersion() {
    return {}; // there is no such library here
}

std::optional<MouseTrackError> SystemMouseTrackPlatform::trackMouseEvent(QWidget*) {
    // Qt reports every leave by itself; nothing has to be requested.
    return std::nullopt;
}

std::optional<MouseTrackError> SystemMouseTrackPlatform::commonControlsTrackMouseEvent(QWidget*) {
    return std::nullopt;
}

std::optional<MouseTrackError> SystemMouseTrackPlatform::setCapture(QWidget* window) {
    if (!window)
        return std::nullopt;
    // X refuses a grab on an unmapped window or while another client holds one; the
    // widget-level grab alone would not tell.
    QWindow* handle = window->window()->windowHandle();
    if (!handle || !handle->setMouseGrabEnabled(true))
        return MouseTrackError{
            5, QStringLiteral("The window system refused the mouse capture"), {}};
    window->grabMouse();
    return std::nullopt;
}

void SystemMouseTrackPlatform::releaseCapture(QWidget* window) {
    if (window)
        window->releaseMouse();
}

QWidget* SystemMouseTrackPlatform::windowFromPoint(const QPoint& globalPos) {
    return QApplication::widgetAt(globalPos);
}

Qt::MouseButtons SystemMouseTrackPlatform::mouseButtons() {
    return QGuiApplication::mouseButtons();
}

Qt::KeyboardModifiers SystemMouseTrackPlatform::keyboardModifiers() {
    // Asked of the window system: a hover comes from a timer, not with an input event.
    return QGuiApplication::queryKeyboardModifiers();
}

int SystemMouseTrackPlatform::hoverTimeMs() {
    // X has no hover-time setting; 400 ms is the usual desktop default.
    return 400;
}
