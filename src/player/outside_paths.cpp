#include "player/outside_paths.h"

#include <QDir>
#include <QFileInfo>
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
    return QStringLiteral("以下路径未加入播放列表：\n") + refusals.join(u'\n');
}

} // namespace OutsidePaths
