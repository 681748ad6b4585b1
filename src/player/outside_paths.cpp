#include "player/outside_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace OutsidePaths {

namespace {

// The kernel's own file systems: reading a file there may never end or may act on the
// system, and none of it is music.
bool isKernelPath(const QString& path) {
    for (const QString& candidate : {QDir::cleanPath(path), QFileInfo(path).canonicalFilePath()}) {
        for (const auto root : {u"/proc", u"/sys"}) {
            const QString prefix = QString::fromUtf16(root);
            if (candidate == prefix || candidate.startsWith(prefix + u'/'))
                return true;
        }
    }
    return false;
}

} // namespace

bool looksLikeUri(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return text.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive) ||
           scheme.match(text).hasMatch();
}

QString localFile(const QUrl& url) {
    if (!url.isValid() || url.scheme() != u"file")
        return {};
    // Any other host names another machine, whose file this one cannot open.
    if (!url.host().isEmpty() && url.host().compare(u"localhost", Qt::CaseInsensitive) != 0)
        return {};
    QUrl here = url;
    here.setHost({});
    const QString path = here.toLocalFile();
    return QDir::isAbsolutePath(path) ? path : QString();
}

QString refusal(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("路径为空");
    if (path.contains(u'\r') || path.contains(u'\n'))
        return QStringLiteral("路径中含有换行符");
    if (looksLikeUri(path))
        return QString::fromUtf16(NotLocalFile);
    if (isKernelPath(path))
        return QStringLiteral("系统目录中的文件不能播放");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("文件不存在");
    if (!info.isFile() && !info.isDir())
        return QStringLiteral("不是普通文件或文件夹");
    return {};
}

QString describe(const QStringList& refusals) {
    QString text = QStringLiteral("以下路径未加入播放列表：\n") +
                   refusals.first(std::min(refusals.size(), MaxToldRefusals)).join(u'\n');
    if (refusals.size() > MaxToldRefusals)
        text += QStringLiteral("\n……另有 %1 个路径").arg(refusals.size() - MaxToldRefusals);
    return text;
}

Expansion expand(const QStringList& paths, int room, FolderLister list) {
    Expansion found;
    QHash<QString, QStringList> listed; // by the folder's own path, whatever it was named
    qsizetype entriesLeft = MaxFolderEntriesPerCall;
    const qsizetype taken = std::min(paths.size(), MaxPathsPerCall);
    found.overCapacity = int(paths.size() - taken);
    for (qsizetype i = 0; i < taken; ++i) {
        const QString& path = paths[i];
        if (found.files.size() >= room) {
            ++found.overCapacity;
            continue;
        }
        if (const QString why = refusal(path); !why.isEmpty()) {
            found.refusals.append(path + QStringLiteral("：") + why);
            continue;
        }
        if (!QFileInfo(path).isDir()) {
            found.files.append(path);
            continue;
        }
        const QDir folder(path);
        const QString own = folder.canonicalPath();
        auto names = listed.constFind(own);
        if (names == listed.cend()) {
            Mp3Listing listing = entriesLeft > 0 ? list(path, entriesLeft) : Mp3Listing{};
            entriesLeft -= listing.entriesRead;
            names = listed.insert(own, std::move(listing.names));
        }
        const qsizetype fits = std::min(names->size(), room - found.files.size());
        for (qsizetype n = 0; n < fits; ++n)
            found.files.append(folder.filePath(names->at(n)));
        found.overCapacity += int(names->size() - fits);
    }
    return found;
}

} // namespace OutsidePaths
