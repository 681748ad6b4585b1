#pragma once

#include <QMouseEvent>
#include <QRect>

// Turns a control's mouse events into clicks the way the designed controls count them: a
// press and a release of a counted button over the control make one click. A double-click
// is one click and then a double-click, so its second press (which Qt delivers as a
// double-click event) arms no further click; only controls that handle double-clicks act
// on it.
class ClickRecognizer {
public:
    explicit ClickRecognizer(Qt::MouseButtons counted = Qt::LeftButton) : counted_(counted) {}

    void pressed(const QMouseEvent& event) { armed_ = (counted_ & event.button()) != 0; }
    void doubleClicked() { armed_ = false; }

    // Whether this release completes a click on a control covering area.
    bool released(const QMouseEvent& event, const QRect& area) {
        const bool click =
            armed_ && (counted_ & event.button()) != 0 && area.contains(event.position().toPoint());
        armed_ = false;
        return click;
    }

private:
    Qt::MouseButtons counted_;
    bool armed_ = false;
};
