#include "player/lyric_font.h"

#include "player/desktop_launcher.h"
#include "player/font_installation.h"
#include "player/program_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace LyricFont {

QString installedFileName() {
    return QString::fromUtf16(Calligraphic) + QStringLiteral(".ttf");
}

QString prepare(FontInstallation& fonts, DesktopLauncher& launcher,
                const QString& currentDirectory) {
    const QString calligraphic = QString::fromUtf16(Calligraphic);
    const QString fontFolder = fonts.userFontFolder();
    const QString installed = programFilePath(fontFolder, installedFileName());
    if (QFileInfo(installed).isFile() || fonts.hasFamily(calligraphic))
        return calligraphic;

    const QString shipped = programFilePath(currentDirectory, QString::fromLatin1(ShippedFile));
    const QFileInfo shippedInfo(shipped);
    if (!shippedInfo.isFile() || shippedInfo.size() > MaxShippedBytes || !fonts.isFontFile(shipped))
        return QString::fromUtf16(Fallback);

    // Copied straight to its installed name: renaming the shipped file first would gain
    // nothing and could leave it renamed if the program stopped half-way.
    QDir().mkpath(fontFolder);
    if (QFile::copy(shipped, installed))
        fonts.fontAdded(installed);
    launcher.openFolder(fontFolder);
    return calligraphic;
}

} // namespace LyricFont
