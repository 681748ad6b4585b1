#pragma once

#include <QEvent>
#include <QObject>

namespace testsupport {

// Counts the paint events of the widgets it is installed on.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace testsupport
