#pragma once

#include <QString>
#include <QStringList>
#include <limits>

// Names of the MP3 files of one folder, the way the playlist adds a folder: ordinary files
// only (no hidden ones, no sub-folders), the extension matched whatever its letter case,
// sorted by name. Empty for an empty path or a folder that cannot be listed.
QStringList mp3FileNames(const QString& folder);

// The same, reading at most mostEntries of the folder's entries, of every kind: a folder with
// more gives the MP3 files among those read.
struct Mp3Listing {
    QStringList names;
    qsizetype entriesRead = 0;
};
Mp3Listing listMp3Files(const QString& folder,
                        qsizetype mostEntries = std::numeric_limits<qsizetype>::max());
