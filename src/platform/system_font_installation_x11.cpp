#include "platform/system_font_installation.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>
#include <QStandardPaths>

QString SystemFontInstallation::userFontFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/fonts");
}

bool SystemFontInstallation::hasFamily(const QString& family) const {
    // Qt's font database is fontconfig's view of the installed families.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void SystemFontInstallation::fontAdded(const QString& fontFile) {
    // This process picks the font up at once; fontconfig's cache, refreshed in the
    // background, makes it known to every other program.
    QFontDatabase::addApplicationFont(fontFile);
    QProcess::startDetached(QStringLiteral("fc-cache"),
                            {QStringLiteral("-f"), QFileInfo(fontFile).absolutePath()});
}
