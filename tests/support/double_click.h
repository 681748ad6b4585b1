#pragma once

#include <QTest>

namespace testsupport {

// A double-click as the window system delivers it: press, release, then the second press
// as a double-click event, and its release.
inline void doubleClick(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(widget, button, {}, at);
    QTest::mouseRelease(widget, button, {}, at);
    QTest::mouseDClick(widget, button, {}, at);
    QTest::mouseRelease(widget, button, {}, at);
}

} // namespace testsupport
