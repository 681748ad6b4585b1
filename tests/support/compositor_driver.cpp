#include "support/compositor_driver.h"

#include "support/desktop_session.h"
#include "support/event_wait.h"

#include <gtest/gtest.h>

namespace testsupport {

CompositorDriver::~CompositorDriver() = default;

void CompositorDriver::open(const QString& waylandDisplay, const QString& x11Display,
                            const QString& runtime, const QString& home) {
    environment_ = compositorSession(waylandDisplay, x11Display, runtime, home);
    x11_ = std::make_unique<X11Client>(x11Display);
}

bool CompositorDriver::x11PointerNear(QPoint at, int slack) const {
    const std::optional<QPoint> x11 = x11_->pointer();
    return x11 && (*x11 - at).manhattanLength() <= slack;
}

void CompositorDriver::moveTo(QPoint at, bool overX11) {
    pointer_->moveTo(at);
    // Xwayland hears of the compositor's pointer on its own time; a press before the X server
    // has the pointer where it was moved would go where it was.
    if (overX11) {
        ASSERT_TRUE(waitUntil([&] { return x11PointerNear(at, x11Slack_); }, 20000));
    }
}

void CompositorDriver::targetStarted(QProcess&, const QString&, bool, QPoint) {}

void CompositorDriver::pointOverTarget(QProcess&, QPoint, bool) {}

void CompositorDriver::clickedThrough(QProcess&, const QString&, bool) {}

PointerProgram::PointerProgram(const QString& program, QSize layout,
                               const QProcessEnvironment& environment)
    : process_(launch(program, {QString::number(layout.width()), QString::number(layout.height())},
                      environment)) {}

PointerProgram::~PointerProgram() {
    process_->closeWriteChannel();
    process_->waitForFinished();
}

bool PointerProgram::started() const {
    return process_->state() == QProcess::Running;
}

void PointerProgram::point(const QString& command) {
    process_->write(command.toUtf8() + '\n');
    ASSERT_TRUE(waitUntil([&] { return process_->canReadLine(); }, 20000))
        << process_->readAllStandardError().constData();
    ASSERT_EQ(process_->readLine().trimmed(), QByteArray("ok"));
}

void PointerProgram::moveTo(QPoint at) {
    point(QString("move %1 %2").arg(at.x() - 1).arg(at.y()));
    point(QString("move %1 %2").arg(at.x()).arg(at.y()));
}

} // namespace testsupport
