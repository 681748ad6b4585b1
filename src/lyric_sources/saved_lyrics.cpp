#include "lyric_sources/saved_lyrics.h"

#include "desktop_integration/data_folder.h"
#include "files/file_replacement.h"
#include "files/text_file.h"
#include "lyrics/lyric_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace SavedLyrics {

namespace {

// File systems take names of at most 255 bytes; the hash and extension need 22 of them.
constexpr qsizetype MaxBaseNameBytes = 200;

QByteArray contentsOf(const QStringList& lines) {
    QByteArray bytes = HeaderLine.toUtf8() + "\r\n";
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// Nothing there to lose, or a file of the program's own.
bool mayWrite(const QString& path) {
    const QFileInfo info(path);
    return (!info.exists() && !info.isSymLink()) || isOwnFile(path);
}

} // namespace

QString userFolder(const QString& xdgDataHome, const QString& home) {
    return QDir(DataFolder::userFolder(xdgDataHome, home)).filePath(QStringLiteral("lyrics"));
}

QString defaultUserFolder() {
    return userFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

QString userFileFor(const QString& mediaPath, const QString& folder) {
    const QString lyricFile = LyricFile::nameFor(mediaPath);
    if (lyricFile.isEmpty() || folder.isEmpty())
        return {};
    QString base = QFileInfo(lyricFile).completeBaseName();
    while (base.toUtf8().size() > MaxBaseNameBytes)
        base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(QDir::fromNativeSeparators(mediaPath)).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir(folder).filePath(base + u'.' + QString::fromLatin1(hash) + QStringLiteral(".lrc"));
}

bool isOwnFile(const QString& path) {
    const std::optional<QStringList> lines = readTextLines(path, 1, 4096);
    return lines && !lines->isEmpty() && lines->first() == HeaderLine;
}

Result save(const QString& mediaPath, const QStringList& lines, const QString& folder) {
    const QString beside = LyricFile::nameFor(mediaPath);
    if (beside.isEmpty())
        return {};
    const QByteArray contents = contentsOf(lines);
    if (DataFolder::isWritable(QFileInfo(beside).absolutePath())) {
        if (!mayWrite(beside))
            return {Outcome::UserFileKept, {}};
        if (replaceFileContents(beside, contents))
            return {Outcome::Saved, beside};
    } else if (QFileInfo(beside).exists() && !isOwnFile(beside)) {
        // The loader would find the user's file first; lyrics kept elsewhere stay unseen.
        return {Outcome::UserFileKept, {}};
    }
    const QString fallback = userFileFor(mediaPath, folder);
    if (fallback.isEmpty() || !QDir().mkpath(folder))
        return {};
    if (!mayWrite(fallback))
        return {Outcome::UserFileKept, {}};
    if (replaceFileContents(fallback, contents))
        return {Outcome::Saved, fallback};
    return {};
}

} // namespace SavedLyrics
