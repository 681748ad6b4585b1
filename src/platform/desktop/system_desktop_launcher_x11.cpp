#include "platform/desktop/system_desktop_launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

void SystemDesktopLauncher::unregisterComponent(const QString&) {
    // Nothing is registered system-wide here: mouse tracking lives inside the program.
}

void SystemDesktopLauncher::openFolder(const QString& folder) {
    QProcess::startDetached(QStringLiteral("xdg-open"), {folder});
}

void SystemDesktopLauncher::openVolumeMixer() {
    // The first mixer that is installed; none installed means nothing happens.
    const QStringList mixers = {QStringLiteral("pavucontrol"), QStringLiteral("pavucontrol-qt"),
                                QStringLiteral("mate-volume-control"),
                                QStringLiteral("xfce4-mixer"), QStringLiteral("alsamixergui")};
    for (const QString& mixer : mixers) {
        const QString program = QStandardPaths::findExecutable(mixer);
        if (!program.isEmpty()) {
            QProcess::startDetached(program, {});
            return;
        }
    }
}
