#include "player/folder_listing.h"

#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

QStringList mp3FileNames(const QString& folder) {
    return listMp3Files(folder).names;
}

Mp3Listing listMp3Files(const QString& folder, qsizetype mostEntries) {
    Mp3Listing listing;
    if (folder.isEmpty())
        return listing;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (listing.entriesRead < mostEntries && entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        ++listing.entriesRead;
        if (entry.isFile() && !entry.isHidden() &&
            entry.fileName().endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive))
            listing.names.append(entry.fileName());
    }
    std::sort(listing.names.begin(), listing.names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return listing;
}
