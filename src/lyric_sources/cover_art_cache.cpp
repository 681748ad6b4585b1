#include "lyric_sources/cover_art_cache.h"

#include "files/data_folder.h"
#include "files/file_replacement.h"
#include "files/regular_file.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>

namespace CoverArtCache {

namespace {

QString extensionFor(const QString& mimeType) {
    const qsizetype slash = mimeType.indexOf(u'/');
    const QString subtype = mimeType.mid(slash + 1);
    return subtype == u"jpeg" ? QStringLiteral("jpg") : subtype;
}

// The size from the image's header only; nothing is unpacked.
bool sizeIsSane(QByteArrayView image) {
    QByteArray bytes = QByteArray::fromRawData(image.data(), image.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    return size.isValid() && !size.isEmpty() && size.width() <= MaxSide &&
           size.height() <= MaxSide && qint64(size.width()) * size.height() <= MaxPixels;
}

// The pictures of the folder, beyond the bounds, oldest first; `kept` stays.
void prune(const QString& artFolder, const QString& kept) {
    const QFileInfoList pictures =
        QDir(artFolder).entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
    qsizetype count = pictures.size();
    qint64 bytes = 0;
    for (const QFileInfo& picture : pictures)
        bytes += picture.size();
    for (const QFileInfo& picture : pictures) {
        if (count <= MaxFiles && bytes <= MaxBytes)
            break;
        if (picture.fileName() != kept && QFile::remove(picture.filePath())) {
            bytes -= picture.size();
            --count;
        }
    }
}

} // namespace

QString folder(const QString& xdgCacheHome, const QString& home) {
    return DataFolder::underXdgBase(xdgCacheHome, home, QStringLiteral(".cache"),
                                    QStringLiteral("vellora/art"));
}

QString defaultFolder() {
    return folder(qEnvironmentVariable("XDG_CACHE_HOME"), QDir::homePath());
}

QString store(const QString& artFolder, QByteArrayView image) {
    const QString mimeType = imageMimeType(image);
    if (mimeType.isEmpty() || artFolder.isEmpty() || !sizeIsSane(image))
        return {};
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()) +
        u'.' + extensionFor(mimeType);
    const QString path = QDir(artFolder).filePath(name);
    // The name is the content's hash, so a file already there holds these very bytes (or
    // is being put there whole by another player through a rename).
    if (isRegularFile(path)) {
        // Found again: the last to go.
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, 0);
    } else {
        if (!QDir().mkpath(artFolder) || !replaceFileContents(path, image))
            return {};
        prune(artFolder, name);
    }
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace CoverArtCache
