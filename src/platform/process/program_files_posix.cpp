#include "platform/process/program_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace ProgramFiles {

namespace {

std::mutex folderLock;
QString& programFolder() {
    static QString folder;
    return folder;
}

// Anyone else who may change it could put code in it that loading or running would run.
bool onlyItsOwnerMayChange(const struct stat& status) {
    return (status.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
           (status.st_uid == 0 || status.st_uid == ::getuid());
}

} // namespace

void lookIn(const QString& folder) {
    const std::lock_guard hold(folderLock);
    if (programFolder().isEmpty())
        programFolder() = folder;
}

QStringList candidatePaths(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return {};
    return {QDir(folder).filePath(fileName),
            QDir::cleanPath(QDir(folder).filePath(
                QStringLiteral(VELLORA_MODULE_FOLDER_FROM_PROGRAM "/") + fileName))};
}

Opened open(const QString& path) {
    const QFileInfo info(path);
    const int folder =
        ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return {-1, path + QStringLiteral(": no folder")};
    struct stat status {};
    if (::fstat(folder, &status) != 0 || !onlyItsOwnerMayChange(status)) {
        ::close(folder);
        return {-1, path + QStringLiteral(": in a folder that others may change")};
    }
    const int fd = ::openat(folder, QFile::encodeName(info.fileName()).constData(),
                            O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    const int error = errno;
    ::close(folder);
    if (fd < 0)
        return {-1, path + (error == ELOOP ? QStringLiteral(": a link")
                                           : QStringLiteral(": not there"))};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || !onlyItsOwnerMayChange(status)) {
        ::close(fd);
        return {-1, path + QStringLiteral(": not a file only its owner may change")};
    }
    return {fd, {}};
}

Opened find(const QString& fileName) {
    const QString folder = [] {
        const std::lock_guard hold(folderLock);
        return programFolder();
    }();
    const QStringList paths = candidatePaths(folder, fileName);
    if (paths.isEmpty())
        return {-1, QStringLiteral("the program's folder is unknown")};
    QStringList refusals;
    for (const QString& path : paths) {
        Opened opened = open(path);
        if (opened.fd >= 0)
            return opened;
        refusals << opened.refusal;
    }
    return {-1, refusals.join(QStringLiteral("; "))};
}

QByteArray descriptorPath(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

} // namespace ProgramFiles
