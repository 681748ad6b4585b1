#include "desktop_lyric/settings_file.h"

#include "desktop_lyric/lyric_settings.h"
#include "player/program_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace SettingsFile {

QString path(const QString& programFolder) {
    return programFilePath(programFolder, QStringLiteral("data/system/desktoplrc.pst"));
}

QString formatNumber(double value) {
    if (value == 0)
        value = 0; // -0 is written as 0
    const QString digits = QString::number(value, 'g', 7);
    return (value < 0 ? QString() : QStringLiteral(" ")) + digits + u' ';
}

namespace {

// The font name has one line of its own; a line break in it (a font may name its family
// anything) would end that line early and push the numbers down. A space keeps the words
// apart.
QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

QByteArray content(const LyricSettings& settings) {
    const QString text = oneLine(settings.fontName) + QStringLiteral("\r\n") +
                         formatNumber(settings.fontSize) + QStringLiteral("\r\n") +
                         formatNumber(settings.colourScheme) + QStringLiteral("\r\n");
    return text.toUtf8();
}

bool save(LyricSettings& settings, const QString& programFolder) {
    const QString filePath = path(programFolder);
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    // Written beside the old file and renamed over it, so a failed write never leaves a
    // truncated file behind.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (settings.colourScheme == 0)
        settings.colourScheme = 1;
    const QByteArray bytes = content(settings);
    // Qt's commit misses a write that the disk cut short (a full disk, a size limit) and
    // would put the truncated file in place of the good one; flushing first shows it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace SettingsFile
