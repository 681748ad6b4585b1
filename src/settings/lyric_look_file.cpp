#include "settings/lyric_look_file.h"

#include "files/file_replacement.h"

#include <QDir>
#include <QFileInfo>

namespace LyricLookFile {

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

QByteArray content(const QString& fontName, float fontSize, qint16 colourScheme) {
    const QString text = oneLine(fontName) + QStringLiteral("\r\n") + formatNumber(fontSize) +
                         QStringLiteral("\r\n") + formatNumber(colourScheme) +
                         QStringLiteral("\r\n");
    return text.toUtf8();
}

bool write(const QString& file, const QString& fontName, float fontSize, qint16 colourScheme) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    return replaceFileContents(file, content(fontName, fontSize, colourScheme));
}

} // namespace LyricLookFile
