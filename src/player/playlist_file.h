#pragma once

#include "player/playlist_entries.h"

#include <QByteArray>
#include <QString>

// The playlist file `data.dat`: a count line, then one media path per line, every line
// ending in CR LF. Paths are taken as they are; whether their files exist is not looked at.
namespace PlaylistFile {

inline constexpr auto FileName = "data.dat";

// The playlist, like the list box it fills, holds at most this many entries.
inline constexpr int MaxEntries = 32767;

// The entry count a count line announces: the number at its start after any blanks,
// rounded to the nearest integer with ties to even; 0 when the line starts with none.
long long announcedCount(QStringView countLine);

// Entries of a file's bytes: as many lines after the count line as it announces (never
// more than are there, never more than MaxEntries). Each is decoded on its own, when it is
// asked for.
PlaylistEntries entriesFromBytes(const QByteArray& bytes);

QByteArray serialize(const PlaylistEntries& entries);

// Empty when the file is missing or cannot be read (a directory, a pipe, a device); a
// short file keeps what it holds.
PlaylistEntries load(const QString& path);

// Replaces the file as a whole; on failure the previous file stays as it was. False when
// the write failed.
bool save(const QString& path, const PlaylistEntries& entries);

} // namespace PlaylistFile
