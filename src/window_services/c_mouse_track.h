#pragma once

#include "window_services/mouse_track_platform.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QMouseEvent;
class QWidget;

// Mouse messages of the Windows form pack a client point into the two halves of a 32-bit
// lParam and the button and key state into wParam bits. Points travel through that form
// so that both platforms decode them alike.
namespace MouseMessage {

qint32 packClientPoint(QPoint point);

// x is the low half read unsigned; y is the whole value divided by 65536, truncated
// toward zero (so a point one pixel above the window decodes as row 0).
QPoint decodeClientPoint(qint32 lParam);

// Bits as MouseHover reports them: left 1, right 2, middle 4; Shift 1, Ctrl 2.
int buttonBits(Qt::MouseButtons buttons);
int shiftBits(Qt::KeyboardModifiers modifiers);

} // namespace MouseMessage

// Tells its owner when the pointer leaves one widget (MouseLeave) and when it rests on it
// (MouseHover). Each StartMouseTracking arms one cycle; the owner re-arms it, typically on
// every mouse move over the widget. An event filter on the widget plays the part of the
// window subclass: it sees each event before the widget's handlers and always lets it
// through.
class cMouseTrack : public QObject {
    Q_OBJECT
public:
    enum TrackMethod : int {
        TrackMethodDetect = -1,
        TrackMethodSystem = 0,
        TrackMethodCommonControls = 1,
        TrackMethodCapture = 2,
    };

    explicit cMouseTrack(MouseTrackPlatform& platform, QObject* parent = nullptr);
    ~cMouseTrack() override;

    int Method() const { return method_; }

    // eForceMethod: TrackMethodDetect picks the method from the system's version; 1 and 2
    // force that method; any other value arms like the system method and is reported
    // unchanged by Method().
    void AttachMouseTracking(QWidget* objTo, int eForceMethod);

    // Arms one cycle unless one is armed. An error while arming comes back with the source
    // "<executable>.cMouseTrack" and leaves the cycle unarmed.
    std::optional<MouseTrackError> StartMouseTracking();

    void DetachMouseTracking();

    bool Tracking() const { return tracking_; }

Q_SIGNALS:
    void MouseHover(int Button, int Shift, float X, float Y);
    void MouseLeave();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detectMethod();
    void hoverLeaveEvent(QEvent* event);
    void captureMouseEvent(QMouseEvent* event);
    void parentActivated();
    void hoverTimedOut();
    void endCycleWithLeave();

    MouseTrackPlatform& platform_;

    bool tracking_ = false;
    QPointer<QWidget> trackedWindow_;
    QPointer<QWidget> parentWindow_;
    bool commonControls_ = false;
    bool capture_ = false;
    int method_ = TrackMethodSystem;

    // What the last attach subscribed to, so a detach undoes exactly that even when a new
    // attach has already switched the method.
    bool attached_ = false;
    bool attachedByCapture_ = false;
    bool hadMouseTracking_ = false;

    // The hover-and-leave request that the window system would hold: the leave part stays
    // armed after a hover, until the pointer leaves or the widget is detached.
    bool leaveRequested_ = false;
    QTimer hoverTimer_;
    QPoint lastPoint_;
};
