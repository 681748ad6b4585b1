#include "lyrics/lyric_file.h"

#include "files/text_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace LyricFile {

namespace {

// File systems take names of at most 255 bytes; the hash and extension need 22 of them.
constexpr qsizetype MaxBaseNameBytes = 200;

} // namespace

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

QString userFileFor(const QString& mediaPath, const QString& userFolder) {
    const QString lyricFile = nameFor(mediaPath);
    if (lyricFile.isEmpty() || userFolder.isEmpty())
        return {};
    QString base = QFileInfo(lyricFile).completeBaseName();
    while (base.toUtf8().size() > MaxBaseNameBytes)
        base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(QDir::fromNativeSeparators(mediaPath)).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir(userFolder)
        .filePath(base + u'.' + QString::fromLatin1(hash) + QStringLiteral(".lrc"));
}

Places placesFor(const QString& mediaPath, const QString& userFolder) {
    return {nameFor(mediaPath), userFileFor(mediaPath, userFolder)};
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
