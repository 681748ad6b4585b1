#include "platform/presenters/layer_pointer_wayland.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <linux/input-event-codes.h>

void LayerPointer::pointerAt(const PointedWindow* window, QPointF position) {
    if (window != surface_)
        pointerLeft();
    surface_ = window;
    position_ = position;
    dispatchMove();
}

void LayerPointer::dispatchMove() {
    if (!surface_ || !surface_->window)
        return;
    QWidget* window = surface_->window;
    QWidget* under = window->childAt(position_.toPoint());
    if (!under)
        under = window;
    if (!grabbed_)
        hover(under);
    send(grabbed_ ? grabbed_.data() : under, QEvent::MouseMove, Qt::NoButton);
}

void LayerPointer::pointerLeft() {
    if (grabbed_ && buttons_ != Qt::NoButton) {
        // The buttons were let go elsewhere: the widget that took the press hears the end.
        const Qt::MouseButton held = Qt::MouseButton(int(buttons_ & -int(buttons_)));
        buttons_ = Qt::NoButton;
        send(grabbed_, QEvent::MouseButtonRelease, held);
    }
    grabbed_.clear();
    buttons_ = Qt::NoButton;
    hover(nullptr);
    surface_ = nullptr;
}

void LayerPointer::hover(QWidget* target) {
    QWidget* from = hovered_.data();
    if (from == target)
        return;
    // The nearest widget that holds both: it is neither left nor entered.
    QWidget* common = nullptr;
    for (QWidget* w = target; w && !common; w = w->isWindow() ? nullptr : w->parentWidget())
        if (from && (w == from || w->isAncestorOf(from)))
            common = w;
    for (QWidget* w = from; w && w != common; w = w->isWindow() ? nullptr : w->parentWidget()) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w, &leave);
    }
    QList<QWidget*> entered;
    for (QWidget* w = target; w && w != common; w = w->isWindow() ? nullptr : w->parentWidget())
        entered.prepend(w);
    hovered_ = target;
    for (QWidget* w : std::as_const(entered)) {
        // A leave above may have hidden the window, and taken the surface with it.
        if (!surface_ || !surface_->window)
            return;
        const QPointF local = w->mapFrom(surface_->window, position_);
        QEnterEvent enter(local, local, QPointF(surface_->placed) + position_);
        QApplication::sendEvent(w, &enter);
    }
}

void LayerPointer::pointerButton(uint32_t time, uint32_t button, bool pressed) {
    if (!surface_ || !surface_->window)
        return;
    Qt::MouseButton which = Qt::NoButton;
    switch (button) {
    case BTN_LEFT:
        which = Qt::LeftButton;
        break;
    case BTN_RIGHT:
        which = Qt::RightButton;
        break;
    case BTN_MIDDLE:
        which = Qt::MiddleButton;
        break;
    default:
        return;
    }
    if (pressed) {
        if (!grabbed_)
            grabbed_ = hovered_ ? hovered_.data() : surface_->window.data();
        buttons_ |= which;
        // A second press soon after the first, near it and of the same button, is a
        // double-click as Qt counts them.
        const QStyleHints* hints = QGuiApplication::styleHints();
        const bool twice =
            which == lastPressButton_ &&
            time - lastPressTime_ < uint32_t(hints->mouseDoubleClickInterval()) &&
            (position_ - lastPressPosition_).manhattanLength() < hints->startDragDistance();
        lastPressButton_ = twice ? Qt::NoButton : which;
        lastPressTime_ = time;
        lastPressPosition_ = position_;
        send(grabbed_, twice ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, which);
    } else {
        buttons_ &= ~which;
        QPointer<QWidget> target = grabbed_;
        if (buttons_ == Qt::NoButton)
            grabbed_.clear();
        send(target, QEvent::MouseButtonRelease, which);
        // The widget under the pointer may have changed while the button was held.
        if (buttons_ == Qt::NoButton && surface_)
            dispatchMove();
    }
}

void LayerPointer::send(QWidget* target, QEvent::Type type, Qt::MouseButton button) {
    if (!target || !surface_ || !surface_->window)
        return;
    QWidget* window = surface_->window;
    const QPointF local = target->mapFrom(window, position_);
    // Where the window is, as the surface's margins last placed it.
    const QPointF global = QPointF(surface_->placed) + position_;
    QMouseEvent event(type, local, local, global, button, buttons_,
                      QGuiApplication::keyboardModifiers());
    QApplication::sendEvent(target, &event);
    // Qt's own windows follow a right press with a request for the context menu; so do these.
    if (type == QEvent::MouseButtonPress && button == Qt::RightButton && target) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, local.toPoint(), global.toPoint(),
                               QGuiApplication::keyboardModifiers());
        QApplication::sendEvent(target, &menu);
    }
}
