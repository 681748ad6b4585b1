#include "desktop_lyric/settings_file.h"

#include "desktop_lyric/lyric_settings.h"
#include "files/file_replacement.h"
#include "player/program_files.h"

#include <QDir>
#include <QFileInfo>

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
    const qint16 chosen = settings.colourScheme;
    if (settings.colourScheme == 0)
        settings.colourScheme = 1;
    if (replaceFileContents(filePath, content(settings)))
        return true;
    // Nothing reached the file, as when it cannot be opened: no scheme was recorded.
    settings.colourScheme = chosen;
    return false;
}

} // namespace SettingsFile
