#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The playlist file `data.dat`: a count line, then one media path per line, every line
// ending in CR LF. Paths are taken as they are; whether their files exist is not looked at.
namespace PlaylistFile {

inline constexpr auto FileName = "data.dat";

// The playlist, like the list box it fills, holds at most this many entries.
inline constexpr int MaxEntries = 32767;

// The entry count a count line announces: the number at its start after any blanks,
// rounded to the nearest integer with ties to even; 0 when the line starts with none.
long long announcedCount(QStringView countLine);

// Entries of a file's lines: as many lines after the count line as it announces (never
// more than are there, never more than MaxEntries).
QStringList entriesFromLines(const QStringList& lines);

QByteArray serialize(const QStringList& entries);

// Empty when the file is missing or cannot be read; a short file keeps what it holds.
QStringList load(const QString& path);

// Writes a new file beside the old one and renames it over it, so a crash or a full disk
// during the write leaves the previous playlist intact. False when the write failed.
bool save(const QString& path, const QStringList& entries);

} // namespace PlaylistFile
