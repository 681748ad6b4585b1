#pragma once

#include <QEvent>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <cstdint>

// A window drawn on a surface of its own: the widget, and where the surface last placed it on
// the screen.
struct PointedWindow {
    QPointer<QWidget> window;
    QPoint placed;
};

// The compositor's pointer on such surfaces, turned into Qt's events on the windows' widgets,
// as Qt's own dispatch would make them: the widget under the pointer hears of moves, with a
// button held the widget that took the press does, crossing from one widget to another is a
// leave and an enter, a second quick press is a double-click, and a right press asks for the
// context menu.
class LayerPointer {
public:
    // The pointer entered, or moved on, the surface of window, at position (logical pixels of
    // the surface).
    void pointerAt(const PointedWindow* window, QPointF position);
    void pointerMovedTo(QPointF position) { pointerAt(surface_, position); }
    void pointerLeft();
    // time in milliseconds; button a Linux input event code.
    void pointerButton(uint32_t time, uint32_t button, bool pressed);

    bool isOnSurfaceOf(const PointedWindow* window) const { return surface_ == window; }

private:
    void dispatchMove();
    void hover(QWidget* target);
    void send(QWidget* target, QEvent::Type type, Qt::MouseButton button);

    const PointedWindow* surface_ = nullptr;
    QPointF position_; // logical pixels of the surface
    Qt::MouseButtons buttons_;
    QPointer<QWidget> hovered_; // the widget the pointer is over
    QPointer<QWidget> grabbed_; // the widget that took the press of the buttons held
    Qt::MouseButton lastPressButton_ = Qt::NoButton;
    uint32_t lastPressTime_ = 0;
    QPointF lastPressPosition_;
};
