#include "lyric_sources/saved_lyrics.h"

#include "files/data_folder.h"
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

enum class Place { Free, Own, Users };

// What the name holds, looked at without following a link: nothing there to lose, a file of
// the program's own, or anything else, which is the user's (a link too, wherever it leads).
Place placeOf(const OpenedFolder& folder, const QString& name) {
    switch (folder.entryAt(name)) {
    case OpenedFolder::Entry::Nothing:
        return Place::Free;
    case OpenedFolder::Entry::RegularFile:
        break;
    case OpenedFolder::Entry::Other:
        return Place::Users;
    }
    const std::optional<QByteArray> start = folder.start(name, 4096);
    const QStringList first = start ? decodeTextLines(*start, 1) : QStringList();
    return !first.isEmpty() && first.front() == HeaderLine ? Place::Own : Place::Users;
}

// The folder of a file, opened where it really is: the links on the way there are the
// user's, and only the name itself is looked at and written without following one.
OpenedFolder folderOf(const QString& file) {
    return OpenedFolder(QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath());
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
    return placeOf(folderOf(path), QFileInfo(path).fileName()) == Place::Own;
}

Result save(const QString& mediaPath, const QStringList& lines, const QString& folder) {
    const QString beside = LyricFile::nameFor(mediaPath);
    if (beside.isEmpty())
        return {};
    const QByteArray contents = contentsOf(lines);
    const OpenedFolder media = folderOf(beside);
    const QString name = QFileInfo(beside).fileName();
    if (media.isOpen()) {
        const Place there = placeOf(media, name);
        // The loader would find the user's file first; lyrics kept elsewhere stay unseen.
        if (there == Place::Users)
            return {Outcome::UserFileKept, {}};
        if (DataFolder::isWritable(QFileInfo(beside).absolutePath()) &&
            media.replace(name, contents))
            return {Outcome::Saved, beside};
    }
    const QString fallback = userFileFor(mediaPath, folder);
    if (fallback.isEmpty() || !QDir().mkpath(folder))
        return {};
    const OpenedFolder users = folderOf(fallback);
    const QString fallbackName = QFileInfo(fallback).fileName();
    if (placeOf(users, fallbackName) == Place::Users)
        return {Outcome::UserFileKept, {}};
    if (users.replace(fallbackName, contents))
        return {Outcome::Saved, fallback};
    return {};
}

} // namespace SavedLyrics
