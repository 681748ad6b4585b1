#pragma once

#include "lyrics/lyric_file.h"

#include <QString>
#include <QStringList>

// What the lyrics search window does on disk for a track: keeps the lyrics the user chose
// (from a search, or copied from a file of theirs) where the lookup finds them first, marked
// as chosen, and removes what the program saved. A lyric file of the user's own is never
// replaced or hidden.
namespace ChosenLyrics {

struct Outcome {
    bool done = false;
    QString message;   // one line for the window
    QStringList lines; // what was kept, when done
};

Outcome keep(const LyricFile::Places& places, const QStringList& lines);
// The file's lines kept as above; the file itself is only read.
Outcome keepFile(const LyricFile::Places& places, const QString& lyricFile);
// Removes the files the program saved for the track, found or chosen, in either place.
Outcome removeSaved(const LyricFile::Places& places);

} // namespace ChosenLyrics
