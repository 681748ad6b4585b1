#pragma once

#include "support/compositor_driver.h"
#include "support/desktop_session.h"
#include "support/event_wait.h"

#include <QColor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace testsupport {

// KDE's KWin in its Wayland session as the test script starts it (virtual backend, two
// 1920×1080 outputs side by side), named in VELLORA_KWIN_WAYLAND_DISPLAY,
// VELLORA_KWIN_DISPLAY and VELLORA_KWIN_BUS; with a panel (tests/wayland_panel) 30 pixels
// high along the bottom, its fake input driven by tests/wayland_pointer, and screenshots from
// its screenshot interface, so that they show what the compositor shows.
class KWinDriver : public CompositorDriver {
public:
    static constexpr int ScreenWidth = 1920;
    static constexpr int ScreenHeight = 1080;
    static constexpr int PanelHeight = 30;

    KWinDriver(const QString& pointerProgram, const QString& panelProgram, const QString& runtime,
               const QString& home) {
        if (!problem().isEmpty())
            return;
        open(kwin("VELLORA_KWIN_WAYLAND_DISPLAY"), kwin("VELLORA_KWIN_DISPLAY"), runtime, home);
        pointer_ = std::make_unique<PointerProgram>(pointerProgram,
                                                    QSize(ScreenWidth, ScreenHeight), environment_);
        panel_ = launch(panelProgram, {QString::number(PanelHeight), "0x304080"}, environment_);
        const QRect panel(0, ScreenHeight - PanelHeight, ScreenWidth, PanelHeight);
        panelShown_ =
            waitUntil([&] { return panel_->canReadLine(); }, 20000) &&
            waitUntil(
                [&] { return pixelsOtherThan(screenshot(), panel, QColor(0x304080)).isEmpty(); },
                20000);
    }
    ~KWinDriver() override {
        if (panel_) {
            panel_->closeWriteChannel();
            panel_->waitForFinished();
        }
    }

    QString problem() const override {
        if (kwin("VELLORA_KWIN_WAYLAND_DISPLAY").isEmpty())
            return "run through scripts/test.sh, which starts a headless KWin";
        if (x11_ && !x11_->connected())
            return "no connection to KWin's Xwayland";
        if (pointer_ && !pointer_->started())
            return "the fake pointer did not start";
        if (panel_ && !panelShown_)
            return "no panel: " + QString::fromLocal8Bit(panel_->readAllStandardError());
        return {};
    }
    QImage screenshot() override { return screenshotAt(0); }
    // The output whose left edge is at left; its raw pixels come through a pipe once the call
    // has said their layout.
    QImage screenshotAt(int left) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return {};
        QDBusMessage reply;
        {
            // The call keeps a copy of the writing end: it goes before the reading starts, or
            // the pipe never ends.
            QDBusMessage call = QDBusMessage::createMethodCall(
                "org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2",
                "CaptureArea");
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
        const int height = layout.value("height").toInt();
        const int stride = layout.value("stride").toInt();
        if (pixels.size() < qsizetype(stride) * height)
            return {};
        return QImage(reinterpret_cast<const uchar*>(pixels.constData()),
                      layout.value("width").toInt(), height, stride,
                      QImage::Format(layout.value("format").toInt()))
            .convertToFormat(QImage::Format_RGB32);
    }
    // An X11 window's; a Wayland window's place is the compositor's secret.
    std::optional<QPoint> windowCorner(const QString& title, bool x11) override {
        const std::optional<QRect> window = x11 ? x11_->window(title) : std::nullopt;
        return window ? std::optional(window->topLeft()) : std::nullopt;
    }
    QRect workArea() override { return QRect(0, 0, ScreenWidth, ScreenHeight - PanelHeight); }
    void close(const QString& title) override { x11_->close(title); }
    void targetStarted(QProcess& target, const QString&, bool, QPoint) override {
        // KWin makes it the active window, as a new window is.
        EXPECT_FALSE(nextLine(&target, "active").isEmpty());
    }

private:
    static QString kwin(const char* name) { return qEnvironmentVariable(name); }

    std::unique_ptr<QProcess> panel_;
    bool panelShown_ = false;
};

} // namespace testsupport
