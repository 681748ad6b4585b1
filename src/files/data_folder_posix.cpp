#include "files/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace DataFolder {

namespace {

bool inGroup(gid_t group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int read = getgroups(count, groups.data());
    for (int i = 0; i < read; ++i)
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    return false;
}

} // namespace

bool isWritable(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || canonical == u"/usr" || canonical.startsWith(u"/usr/"))
        return false;
    const QByteArray path = QFile::encodeName(canonical);
    struct stat info {};
    if (stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    struct statvfs mount {};
    if (statvfs(path.constData(), &mount) == 0 && (mount.f_flag & ST_RDONLY) != 0)
        return false;
    mode_t bit = S_IWOTH;
    if (info.st_uid == geteuid())
        bit = S_IWUSR;
    else if (inGroup(info.st_gid))
        bit = S_IWGRP;
    // access(2) still has its say for an ordinary user: an access list may deny what the
    // bits allow.
    return (info.st_mode & bit) != 0 && access(path.constData(), W_OK) == 0;
}

QString underXdgBase(const QString& variableValue, const QString& home,
                     const QString& defaultBelowHome, const QString& subfolder) {
    const QString base =
        QDir::isAbsolutePath(variableValue) ? variableValue : QDir(home).filePath(defaultBelowHome);
    return QDir::cleanPath(QDir(base).filePath(subfolder));
}

QString userFolder(const QString& xdgDataHome, const QString& home) {
    return underXdgBase(xdgDataHome, home, QStringLiteral(".local/share"),
                        QStringLiteral("vellora"));
}

QString programFolder() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString choose(const QString& programFolder, const QString& xdgDataHome, const QString& home) {
    return isWritable(programFolder) ? programFolder : userFolder(xdgDataHome, home);
}

} // namespace DataFolder
