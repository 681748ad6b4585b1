#include "files/file_replacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Closes a descriptor on every way out; release() hands it over.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool writeAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        // A short write is retried; the next attempt reports why it was short (EFBIG when
        // a size limit was reached, ENOSPC on a full disk).
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// A name beside the target in the folder that no other writer picks. Made with the
// target's permission bits when it is a regular file (so a replacement keeps them), else as
// any new file would be.
int createSibling(int folder, const QByteArray& target, QByteArray& name) {
    struct stat old {};
    const bool exists = ::fstatat(folder, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISREG(old.st_mode);
    const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::openat(folder, name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST) {
            // The umask applies to new files only: a replacement keeps the old bits.
            if (fd >= 0 && exists)
                ::fchmod(fd, mode);
            return fd;
        }
    }
    return -1;
}

// The file a write goes to: the path itself, or where its symbolic links lead.
QString writeTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.symLinkTarget() : resolved;
}

// The new contents in a new file of the folder, renamed over the name, which is replaced
// itself and never followed.
bool replaceIn(int folder, const QByteArray& target, QByteArrayView contents) {
    QByteArray sibling;
    Descriptor file(createSibling(folder, target, sibling));
    if (file.get() < 0)
        return false;
    const bool written =
        writeAll(file.get(), contents) && ::fsync(file.get()) == 0 && ::close(file.release()) == 0;
    if (!written || ::renameat(folder, sibling.constData(), folder, target.constData()) != 0) {
        ::unlinkat(folder, sibling.constData(), 0);
        return false;
    }
    // Some file systems refuse to sync a folder; the file itself is complete and synced, so
    // that is no reason to call the write failed.
    ::fsync(folder);
    return true;
}

QByteArray nameIn(const QString& name) {
    const QByteArray encoded = QFile::encodeName(name);
    return encoded.isEmpty() || encoded.contains('/') || encoded == "." || encoded == ".."
               ? QByteArray()
               : encoded;
}

} // namespace

bool replaceFileContents(const QString& path, QByteArrayView contents) {
    const QByteArray target = QFile::encodeName(writeTarget(path));
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return false;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : target.left(slash);
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.get() >= 0 && replaceIn(dir.get(), target.mid(slash + 1), contents);
}

OpenedFolder::OpenedFolder(const QString& path)
    : fd_(::open(QFile::encodeName(path).constData(),
                 O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}

OpenedFolder::~OpenedFolder() {
    if (fd_ >= 0)
        ::close(fd_);
}

OpenedFolder::Entry OpenedFolder::entryAt(const QString& name) const {
    const QByteArray own = nameIn(name);
    if (fd_ < 0 || own.isEmpty())
        return Entry::Other;
    struct stat status {};
    if (::fstatat(fd_, own.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Entry::Nothing : Entry::Other;
    return S_ISREG(status.st_mode) ? Entry::RegularFile : Entry::Other;
}

std::optional<QByteArray> OpenedFolder::start(const QString& name, qsizetype maxBytes) const {
    const QByteArray own = nameIn(name);
    if (fd_ < 0 || own.isEmpty())
        return std::nullopt;
    // Non-blocking: a pipe put in the file's place would hold the read up.
    Descriptor file(::openat(fd_, own.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    QByteArray bytes(maxBytes, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, size_t(maxBytes - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

bool OpenedFolder::replace(const QString& name, QByteArrayView contents) const {
    const QByteArray own = nameIn(name);
    return fd_ >= 0 && !own.isEmpty() && replaceIn(fd_, own, contents);
}
