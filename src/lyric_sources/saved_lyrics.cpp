#include "lyric_sources/saved_lyrics.h"

#include "files/data_folder.h"
#include "files/file_replacement.h"
#include "files/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SavedLyrics {

namespace {

QByteArray contentsOf(const QStringList& lines, Mark mark) {
    QByteArray bytes = (mark == Mark::Chosen ? ChosenHeaderLine : HeaderLine).toUtf8() + "\r\n";
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// What the name holds, looked at without following a link: nothing there to lose, a file of
// the program's own, or anything else, which is the user's (a link too, wherever it leads).
FileKind kindOf(const OpenedFolder& folder, const QString& name) {
    switch (folder.entryAt(name)) {
    case OpenedFolder::Entry::Nothing:
        return FileKind::None;
    case OpenedFolder::Entry::RegularFile:
        break;
    case OpenedFolder::Entry::Other:
        return FileKind::Users;
    }
    const std::optional<QByteArray> start = folder.start(name, 4096);
    const QStringList first = start ? decodeTextLines(*start, 1) : QStringList();
    if (first.isEmpty())
        return FileKind::Users;
    if (first.front() == HeaderLine)
        return FileKind::Found;
    return first.front() == ChosenHeaderLine ? FileKind::Chosen : FileKind::Users;
}

// Whether lyrics of the mark may take the place of what is there.
bool mayReplace(FileKind there, Mark mark) {
    return there == FileKind::None || there == FileKind::Found ||
           (there == FileKind::Chosen && mark == Mark::Chosen);
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

FileKind kindAt(const QString& path) {
    if (path.isEmpty())
        return FileKind::None;
    const OpenedFolder folder = folderOf(path);
    return folder.isOpen() ? kindOf(folder, QFileInfo(path).fileName()) : FileKind::None;
}

bool isOwnFile(const QString& path) {
    const FileKind kind = kindAt(path);
    return kind == FileKind::Found || kind == FileKind::Chosen;
}

bool removeOwnFile(const QString& path) {
    return isOwnFile(path) && QFile::remove(path);
}

Result save(const LyricFile::Places& places, const QStringList& lines, Mark mark) {
    const QString& beside = places.beside;
    if (beside.isEmpty())
        return {};
    const QByteArray contents = contentsOf(lines, mark);
    const OpenedFolder media = folderOf(beside);
    const QString name = QFileInfo(beside).fileName();
    if (media.isOpen()) {
        // The loader would find what is there first; lyrics kept elsewhere stay unseen.
        if (!mayReplace(kindOf(media, name), mark))
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
    if (!mayReplace(kindOf(users, fallbackName), mark))
        return {Outcome::UserFileKept, {}};
    if (users.replace(fallbackName, contents))
        return {Outcome::Saved, fallback};
    return {};
}

} // namespace SavedLyrics
