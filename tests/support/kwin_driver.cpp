#include "support/kwin_driver.h"

#include "support/desktop_session.h"
#include "support/event_wait.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace testsupport {

namespace {

const QColor PanelColour(0x30, 0x40, 0x80);

QString kwin(const char* name) {
    return qEnvironmentVariable(name);
}

QRect panelBand() {
    return QRect(0, KWinDriver::ScreenHeight - KWinDriver::PanelHeight, KWinDriver::ScreenWidth,
                 KWinDriver::PanelHeight);
}

} // namespace

KWinDriver::KWinDriver(const QString& pointerProgram, const QString& panelProgram,
                       const QString& runtime, const QString& home) {
    if (!problem().isEmpty())
        return;
    open(kwin("VELLORA_KWIN_WAYLAND_DISPLAY"), kwin("VELLORA_KWIN_DISPLAY"), runtime, home);
    pointer_ = std::make_unique<PointerProgram>(pointerProgram, QSize(ScreenWidth, ScreenHeight),
                                                environment_);
    panel_ = launch(panelProgram, {QString::number(PanelHeight), "0x304080"}, environment_);
    panelShown_ =
        waitUntil([&] { return panel_->canReadLine(); }, 20000) &&
        waitUntil([&] { return pixelsOtherThan(screenshot(), panelBand(), PanelColour).isEmpty(); },
                  20000);
}

KWinDriver::~KWinDriver() {
    if (panel_) {
        panel_->closeWriteChannel();
        panel_->waitForFinished();
    }
}

QString KWinDriver::problem() const {
    if (kwin("VELLORA_KWIN_WAYLAND_DISPLAY").isEmpty())
        return "run through scripts/test.sh, which starts a headless KWin";
    if (x11_ && !x11_->connected())
        return "no connection to KWin's Xwayland";
    if (pointer_ && !pointer_->started())
        return "the fake pointer did not start";
    if (panel_ && !panelShown_)
        return "the panel did not show: " + QString::fromLocal8Bit(panel_->readAllStandardError());
    return {};
}

// The picture's raw pixels come through a pipe once the call has said their layout.
QImage KWinDriver::screenshotAt(int left) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return {};
    QDBusMessage reply;
    {
        // The call keeps a copy of the writing end: it goes before the reading starts, or the
        // pipe never ends.
        QDBusMessage call =
            QDBusMessage::createMethodCall("org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2",
                                           "org.kde.KWin.ScreenShot2", "CaptureArea");
        call << left << 0 << uint(ScreenWidth) << uint(ScreenHeight)
             << QVariantMap{{"native-resolution", true}}
             << QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]));
        ::close(ends[1]);
        reply = QDBusConnection::connectToBus(kwin("VELLORA_KWIN_BUS"), "kwin")
                    .call(call, QDBus::Block, 20000);
    }
    QByteArray pixels;
    if (reply.type() == QDBusMessage::ReplyMessage) {
        char chunk[65536];
        for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) > 0;)
            pixels.append(chunk, got);
    }
    ::close(ends[0]);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    if (reply.arguments().isEmpty())
        return {};
    const QVariantMap layout = qdbus_cast<QVariantMap>(reply.arguments().first());
    const int width = layout.value("width").toInt();
    const int height = layout.value("height").toInt();
    const int stride = layout.value("stride").toInt();
    if (pixels.size() < qsizetype(stride) * height)
        return {};
    return QImage(reinterpret_cast<const uchar*>(pixels.constData()), width, height, stride,
                  QImage::Format(layout.value("format").toInt()))
        .convertToFormat(QImage::Format_RGB32);
}

void KWinDriver::moveTo(QPoint at, bool overX11) {
    pointer_->moveTo(at);
    // Xwayland hears of the compositor's pointer on its own time; a press before the X server
    // has the pointer where it was moved would go where it was.
    if (overX11) {
        ASSERT_TRUE(waitUntil([&] { return x11PointerNear(at, 0); }, 20000));
    }
}

std::optional<QPoint> KWinDriver::windowCorner(const QString& title, bool x11) {
    if (!x11)
        return std::nullopt;
    const std::optional<QRect> window = x11_->window(title);
    return window ? std::optional(window->topLeft()) : std::nullopt;
}

QRect KWinDriver::workArea() {
    return QRect(0, 0, ScreenWidth, ScreenHeight - PanelHeight);
}

void KWinDriver::targetStarted(QProcess& target, const QString&, bool, QPoint) {
    // KWin makes it the active window, as a new window is.
    EXPECT_FALSE(nextLine(&target, "active").isEmpty());
}

} // namespace testsupport
