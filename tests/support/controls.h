#pragma once

#include <QWidget>

namespace testsupport {

// A control of a window by its design name, found as a user finds it: by what it is, not by
// a member the window would have to expose.
template <typename Control = QWidget> Control* controlOf(const QObject& window, const char* name) {
    return window.findChild<Control*>(QString::fromLatin1(name));
}

} // namespace testsupport
