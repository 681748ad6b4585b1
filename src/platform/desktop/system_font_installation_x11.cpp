#include "platform/desktop/system_font_installation.h"

#include "files/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>
#include <QRawFont>
#include <QStandardPaths>

QString SystemFontInstallation::userFontFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/fonts");
}

bool SystemFontInstallation::hasFamily(const QString& family) const {
    // Qt's font database is fontconfig's view of the installed families.
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

bool SystemFontInstallation::isFontFile(const QString& fontFile) const {
    QFile file;
    if (!openRegularFile(file, fontFile))
        return false;
    // Loaded on its own, not into the font database, so a file that is no font leaves
    // nothing behind.
    const QRawFont font(file.readAll(), 12);
    return font.isValid() && !font.familyName().isEmpty();
}

void SystemFontInstallation::fontAdded(const QString& fontFile) {
    // This process picks the font up at once; fontconfig's cache, refreshed in the
    // background, makes it known to every other program.
    QFontDatabase::addApplicationFont(fontFile);
    QProcess::startDetached(QStringLiteral("fc-cache"),
                            {QStringLiteral("-f"), QFileInfo(fontFile).absolutePath()});
}
