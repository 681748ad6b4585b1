#include "forms/window_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

void WindowDrag::begin(QWidget& window, const QMouseEvent& press) {
    if (window.windowHandle() && window.windowHandle()->startSystemMove())
        return;
    followingPointer_ = true;
    pressPointer_ = press.globalPosition().toPoint();
    pressPosition_ = window.pos();
}

void WindowDrag::track(QWidget& window, const QMouseEvent& event) {
    // A release that went elsewhere (a grab by another window) must not leave the window
    // stuck to the pointer.
    if (event.buttons() == Qt::NoButton) {
        followingPointer_ = false;
        return;
    }
    if (followingPointer_ && event.type() == QEvent::MouseMove)
        window.move(pressPosition_ + event.globalPosition().toPoint() - pressPointer_);
}
