#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The playlist file `data.dat`: a count line, then one media path per line, every line
// ending in CR LF. Paths are taken as they are; whether their files exist is not looked at.
namespace PlaylistFile {

inline constexpr auto FileName = "data.dat";

// The playlist, like the list box it fills, holds at most this many entries.
inline constexpr int MaxEntries = 32767;

// One entry. An entry read from the file keeps the bytes it was stored as, and is written
// back as those bytes: decoding is a guess (UTF-8, else the old code page), and a path
// must survive a round trip whatever the guess made of it. An entry added in this run has
// no stored bytes and is written as UTF-8.
struct Entry {
    QString path;
    QByteArray stored;

    bool operator==(const Entry&) const = default;
    QByteArray bytes() const { return stored.isNull() ? path.toUtf8() : stored; }
};

// The entry count a count line announces: the number at its start after any blanks,
// rounded to the nearest integer with ties to even; 0 when the line starts with none.
long long announcedCount(QStringView countLine);

// Entries of a file's raw lines: as many lines after the count line as it announces
// (never more than are there, never more than MaxEntries), each decoded on its own.
QList<Entry> entriesFromLines(const QList<QByteArray>& lines);

QByteArray serialize(const QList<Entry>& entries);

// Empty when the file is missing or cannot be read (a directory, a pipe, a device); a
// short file keeps what it holds.
QList<Entry> load(const QString& path);

// Replaces the file as a whole; on failure the previous file stays as it was. False when
// the write failed.
bool save(const QString& path, const QList<Entry>& entries);

} // namespace PlaylistFile
