#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a top-level window with the pointer, from a mouse press until its button is
// released; the move starts as the pointer first moves with the button held. The window
// system's own move is preferred; where it refuses (no window manager, or one without the
// move protocol), the window follows the pointer as the widget that took the press reports
// its moves.
class WindowDrag {
public:
    void begin(QWidget& window, const QMouseEvent& press);

    // Every move and release of the widget that took the press.
    void track(QWidget& window, const QMouseEvent& event);

    // Whether the window system took the last drag over: then the window hears where it was
    // dropped only from the window system's own report, which may come after the release.
    bool byWindowSystem() const { return byWindowSystem_; }

private:
    bool pending_ = false; // pressed, not moved yet
    bool followingPointer_ = false;
    bool byWindowSystem_ = false;
    QPoint pressPointer_;
    QPoint pressPosition_;
};
