#pragma once

#include <QString>
#include <QStringList>

// Names of the MP3 files of one folder, the way the playlist adds a folder: ordinary files
// only (no hidden ones, no sub-folders), the extension matched whatever its letter case,
// sorted by name. Empty for an empty path or a folder that cannot be listed.
QStringList mp3FileNames(const QString& folder);
