#include "lyrics/lyric_file.h"

#include "files/text_file.h"

#include <QDir>
#include <QFileInfo>

namespace LyricFile {

QString nameFor(const QString& mediaPath) {
    const QString path = QDir::fromNativeSeparators(mediaPath);
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype nameEnd = dot > nameStart ? dot : path.size();
    // A name that is nothing but an extension (".mp3") has no base to give the lyric file.
    if (nameEnd == nameStart || (dot == nameStart && nameEnd == path.size()))
        return {};
    return path.left(nameEnd) + QStringLiteral(".lrc");
}

QStringList loadLines(const QString& mediaPath) {
    return loadFile(nameFor(mediaPath)).value_or(QStringList{});
}

std::optional<QStringList> loadFile(const QString& lyricPath) {
    if (lyricPath.isEmpty())
        return std::nullopt;
    const QFileInfo info(lyricPath);
    if (!info.isFile() || info.isHidden())
        return std::nullopt;
    return readTextLines(lyricPath, MaxLines, MaxBytes).value_or(QStringList{});
}

} // namespace LyricFile
