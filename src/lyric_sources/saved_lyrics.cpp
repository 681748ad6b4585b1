#include "lyric_sources/saved_lyrics.h"

#include "files/data_folder.h"
#include "files/file_replacement.h"
#include "files/text_file.h"

#include <QDir>
#include <QFileInfo>

namespace SavedLyrics {

namespace {

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

bool isOwnFile(const QString& path) {
    return placeOf(folderOf(path), QFileInfo(path).fileName()) == Place::Own;
}

Result save(const LyricFile::Places& places, const QStringList& lines) {
    const QString& beside = places.beside;
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
    const QString& fallback = places.inUserFolder;
    if (fallback.isEmpty() || !QDir().mkpath(QFileInfo(fallback).path()))
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
