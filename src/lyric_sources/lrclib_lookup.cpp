#include "lyric_sources/lrclib_lookup.h"

#include <QStringList>

QUrl LrclibLookup::baseUrlFromEnvironment() {
    const QString configured = qEnvironmentVariable(BaseUrlVariable);
    if (!configured.isEmpty()) {
        const QUrl url(configured, QUrl::StrictMode);
        if (isAllowedBase(url))
            return url;
        qWarning("%s is neither an https:// URL nor http:// on the loopback address; ignored",
                 BaseUrlVariable);
    }
    return QUrl(QString::fromLatin1(DefaultBaseUrl));
}

bool LrclibLookup::isAllowedBase(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() || url.hasQuery() ||
        url.hasFragment())
        return false;
    return url.scheme() == u"https" || (url.scheme() == u"http" && isLoopback(url));
}

bool LrclibLookup::isLoopback(const QUrl& url) {
    // QUrl keeps IPv4 hosts in dotted decimal and IPv6 ones in their shortest form.
    const QString host = url.host();
    if (host == u"localhost" || host == u"::1")
        return true;
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4 || parts.front() != u"127")
        return false;
    for (const QString& part : parts) {
        bool number = false;
        if (part.toUInt(&number) > 255 || !number)
            return false;
    }
    return true;
}
