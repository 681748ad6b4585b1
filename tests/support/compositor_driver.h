#pragma once

#include "support/x11_client.h"

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

namespace testsupport {

// tests/wayland_pointer: a virtual pointer of the compositor's own, one command a line.
class PointerProgram {
public:
    PointerProgram(const QString& program, QSize layout, const QProcessEnvironment& environment);
    ~PointerProgram();
    PointerProgram(const PointerProgram&) = delete;
    PointerProgram& operator=(const PointerProgram&) = delete;

    bool started() const;
    // One command, handled once the program answers.
    void point(const QString& command);
    // Arriving from a pixel away: a window hears of the pointer that moves over it.
    void moveTo(QPoint at);

private:
    std::unique_ptr<QProcess> process_;
};

// A compositor's session as the desktop-lyric tests drive it from outside, one implementation
// per compositor: what it shows, its own pointer, where it put a window, its work area. Every
// session has Xwayland, which the X11 client looks at.
class CompositorDriver {
public:
    virtual ~CompositorDriver();

    // Why the session cannot be driven; empty when it can.
    virtual QString problem() const = 0;
    // The environment of the program and of the test's windows in the session.
    const QProcessEnvironment& environment() const { return environment_; }
    X11Client& x11() const { return *x11_; }

    // Whether the test sees the compositor's pixels. Where it does not, the lyric's windows are
    // X11 windows, which the X server shows the test instead.
    virtual bool showsPixels() const { return true; }
    // What the compositor shows; null where the test does not see it.
    virtual QImage screenshot() = 0;
    // The pointer arrives at `at` from a pixel away, so that the window there hears it move over
    // it; over an X11 window, the move is done once the X server has the pointer there too.
    // Unless told otherwise, the pointer is tests/wayland_pointer's.
    virtual void moveTo(QPoint at, bool overX11);
    virtual void press() { pointer_->point("press"); }
    virtual void release() { pointer_->point("release"); }
    // Where the content of the window titled title starts once the compositor has placed it;
    // none before, and none where the compositor does not tell.
    virtual std::optional<QPoint> windowCorner(const QString& title, bool x11) = 0;
    // What the first output's bars and panels leave of it.
    virtual QRect workArea() = 0;
    // Closes the window as the desktop's own close button would.
    virtual void close(const QString& title) = 0;

    // A target window (tests/click_target) was started, to lie under the pointer at under:
    // returns once the compositor shows it.
    virtual void targetStarted(QProcess& target, const QString& title, bool x11, QPoint under);
    // The pointer goes to at over the target, before a click there.
    virtual void pointOverTarget(QProcess& target, QPoint at, bool x11);
    // A click went through the lyric to the target, which heard it.
    virtual void clickedThrough(QProcess& target, const QString& title, bool x11);

protected:
    // The session's environment and an X11 client of its Xwayland.
    void open(const QString& waylandDisplay, const QString& x11Display, const QString& runtime,
              const QString& home);
    // Whether the X server has the pointer within slack pixels of at.
    bool x11PointerNear(QPoint at, int slack) const;

    QProcessEnvironment environment_;
    std::unique_ptr<X11Client> x11_;
    std::unique_ptr<PointerProgram> pointer_;
    // How far the X server's pointer may be from the compositor's once it has heard of it.
    int x11Slack_ = 0;
};

} // namespace testsupport
