#include "lyric_sources/cover_art_cache.h"

#include "files/data_folder.h"
#include "files/file_replacement.h"
#include "files/regular_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace CoverArtCache {

namespace {

QString extensionFor(const QString& mimeType) {
    const qsizetype slash = mimeType.indexOf(u'/');
    const QString subtype = mimeType.mid(slash + 1);
    return subtype == u"jpeg" ? QStringLiteral("jpg") : subtype;
}

} // namespace

QString imageMimeType(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("image/jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("image/png");
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QStringLiteral("image/gif");
    if (bytes.startsWith("BM") && bytes.size() > 14)
        return QStringLiteral("image/bmp");
    if (bytes.size() > 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "WEBP")
        return QStringLiteral("image/webp");
    return {};
}

QString folder(const QString& xdgCacheHome, const QString& home) {
    return DataFolder::underXdgBase(xdgCacheHome, home, QStringLiteral(".cache"),
                                    QStringLiteral("vellora/art"));
}

QString defaultFolder() {
    return folder(qEnvironmentVariable("XDG_CACHE_HOME"), QDir::homePath());
}

QString store(const QString& artFolder, QByteArrayView image) {
    const QString mimeType = imageMimeType(image);
    if (mimeType.isEmpty() || artFolder.isEmpty())
        return {};
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()) +
        u'.' + extensionFor(mimeType);
    const QString path = QDir(artFolder).filePath(name);
    // The name is the content's hash, so a file already there holds these very bytes (or
    // is being put there whole by another player through a rename).
    if (!isRegularFile(path)) {
        if (!QDir().mkpath(artFolder) || !replaceFileContents(path, image))
            return {};
    }
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace CoverArtCache
