#pragma once

#include <QPoint>
#include <QString>
#include <Qt>
#include <optional>

class QWidget;

// An error from arming a tracking cycle, as the caller of StartMouseTracking receives it.
struct MouseTrackError {
    int number = 0;
    QString description;
    QString source;
};

// The answer of the system's version call.
struct SystemVersion {
    static constexpr int PlatformNt = 2;
    int platformId = 0;
    int majorVersion = 0;
};

// The common-controls library as probed: each step only happens when the one before it
// succeeded, so later fields mean nothing after a failed step.
struct CommonControlsVersion {
    bool loaded = false;
    bool entryFound = false;
    int result = -1; // of the library's version call; 0 is success
    int major = 0;
    int minor = 0;
};

// What cMouseTrack needs of the window system: the version probes that pick a tracking
// method, the calls that arm a cycle, and the pointer state the capture method reads.
class MouseTrackPlatform {
public:
    virtual ~MouseTrackPlatform() = default;

    // Empty when the version call fails.
    virtual std::optional<SystemVersion> systemVersion() = 0;
    virtual CommonControlsVersion commonControlsVersion() = 0;

    // Arm a hover-and-leave request through the system, or through the common-controls
    // library; or take the mouse capture. An error leaves nothing armed.
    virtual std::optional<MouseTrackError> trackMouseEvent(QWidget* window) = 0;
    virtual std::optional<MouseTrackError> commonControlsTrackMouseEvent(QWidget* window) = 0;
    virtual std::optional<MouseTrackError> setCapture(QWidget* window) = 0;
    virtual void releaseCapture(QWidget* window) = 0;

    virtual QWidget* windowFromPoint(const QPoint& globalPos) = 0;
    virtual Qt::MouseButtons mouseButtons() = 0;
    virtual Qt::KeyboardModifiers keyboardModifiers() = 0;

    // How long the pointer must rest before a hover is reported.
    virtual int hoverTimeMs() = 0;
};
