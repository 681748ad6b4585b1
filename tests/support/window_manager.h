#pragma once

#include "support/x11_client.h"

#include <QByteArrayList>
#include <sys/types.h>

namespace testsupport {

// A window manager on the X server that DISPLAY names, started from a test program's static
// initialisation, before the application object connects, so that Qt reads the manager's
// abilities at its start; stopped when the object goes. The properties it leaves on the root
// window go with it, or later test programs on the same server would take a manager for
// running.
class WindowManager {
public:
    explicit WindowManager(const QByteArrayList& command);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Whether it runs and has taken a window of its own into a frame.
    bool started() const { return ready_; }

private:
    X11Client x_;
    QList<QByteArray> before_;
    pid_t pid_ = 0;
    bool ready_ = false;
};

} // namespace testsupport
