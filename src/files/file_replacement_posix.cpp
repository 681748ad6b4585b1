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

// A name beside the target that no other writer picks. Made with the target's permission
// bits when it exists (so a replacement keeps them), else as any new file would be.
int createSibling(const QByteArray& target, QByteArray& name) {
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    const mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
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

void syncFolderOf(const QByteArray& file) {
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : file.left(slash);
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems refuse to sync a folder; the file itself is complete and synced, so
    // that is no reason to call the write failed.
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

bool replaceFileContents(const QString& path, QByteArrayView contents) {
    const QByteArray target = QFile::encodeName(writeTarget(path));
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return false;

    QByteArray sibling;
    Descriptor file(createSibling(target, sibling));
    if (file.get() < 0)
        return false;
    const bool written =
        writeAll(file.get(), contents) && ::fsync(file.get()) == 0 && ::close(file.release()) == 0;
    if (!written || ::rename(sibling.constData(), target.constData()) != 0) {
        ::unlink(sibling.constData());
        return false;
    }
    syncFolderOf(target);
    return true;
}
