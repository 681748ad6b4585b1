#include "forms/window_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

void WindowDrag::begin(QWidget& window, const QMouseEvent& press) {
    // The window system's move waits for the pointer to move with the button held: a move
    // asked for at the press outlives a quick tap whose release the window system has
    // already delivered, and holds the pointer until some later click.
    pending_ = true;
    followingPointer_ = false;
    byWindowSystem_ = false;
    pressPointer_ = press.globalPosition().toPoint();
    pressPosition_ = window.pos();
}

void WindowDrag::track(QWidget& window, const QMouseEvent& event) {
    // A release that went elsewhere (a grab by another window) must not leave the window
    // stuck to the pointer.
    if (event.buttons() == Qt::NoButton) {
        pending_ = false;
        followingPointer_ = false;
        return;
    }
    if (event.type() != QEvent::MouseMove)
        return;
    if (pending_) {
        pending_ = false;
        // A window drawn by a presenter has no window of Qt's on the screen to move.
        const QWindow* handle = window.windowHandle();
        byWindowSystem_ = handle && handle->isExposed() && window.windowHandle()->startSystemMove();
        if (byWindowSystem_)
            return;
        followingPointer_ = true;
    }
    if (followingPointer_)
        window.move(pressPosition_ + event.globalPosition().toPoint() - pressPointer_);
}
