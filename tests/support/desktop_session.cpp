#include "support/desktop_session.h"

#include "support/event_wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& environment, const QString& folder) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    if (!folder.isEmpty())
        process->setWorkingDirectory(folder);
    process->start(program, arguments);
    process->waitForStarted();
    return process;
}

void end(QProcess* process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished();
    }
}

QProcessEnvironment compositorSession(const QString& waylandDisplay, const QString& x11Display,
                                      const QString& runtime, const QString& home) {
    QProcessEnvironment session = QProcessEnvironment::systemEnvironment();
    session.remove("QT_QPA_PLATFORM");
    session.insert("WAYLAND_DISPLAY", waylandDisplay);
    session.insert("DISPLAY", x11Display);
    session.insert("XDG_RUNTIME_DIR", runtime);
    session.insert("HOME", home);
    session.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    session.insert("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    if (session.contains("ASAN_OPTIONS"))
        session.insert("ASAN_OPTIONS", session.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
    return session;
}

QByteArray nextLine(QProcess* process, const QByteArray& word,
                    const std::function<void()>& meanwhile) {
    // Lines read while waiting for another word stay with the process for a later look.
    const char* const kept = "unreadLines";
    QByteArrayList unread = process->property(kept).value<QByteArrayList>();
    QByteArray found;
    waitUntil(
        [&] {
            while (process->canReadLine())
                unread << process->readLine().trimmed();
            for (qsizetype i = 0; i < unread.size(); ++i)
                if (unread[i].startsWith(word)) {
                    found = unread.takeAt(i);
                    return true;
                }
            if (meanwhile)
                meanwhile();
            return false;
        },
        20000);
    process->setProperty(kept, QVariant::fromValue(unread));
    return found;
}

int changedPixels(const QImage& before, const QImage& after, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += before.pixel(x, y) != after.pixel(x, y);
    return count;
}

QList<QPoint> pixelsOtherThan(const QImage& picture, const QRect& area, const QColor& colour) {
    QList<QPoint> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(picture.pixel(x, y)) != colour)
                found << QPoint(x, y);
    return found;
}

RememberedSettings::RememberedSettings(const QString& program, const QByteArray& lines)
    : file_(QFileInfo(program).dir().filePath(QStringLiteral("data/system/vellora.conf"))) {
    QFile old(file_);
    if (old.open(QIODevice::ReadOnly))
        old_ = old.readAll();
    QDir().mkpath(QFileInfo(file_).path());
    QFile now(file_);
    EXPECT_TRUE(now.open(QIODevice::WriteOnly) && now.write(lines) == lines.size());
}

RememberedSettings::~RememberedSettings() {
    QFile now(file_);
    if (!old_)
        now.remove();
    else if (now.open(QIODevice::WriteOnly))
        now.write(*old_);
}

} // namespace testsupport
