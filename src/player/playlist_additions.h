#pragma once

#include <QString>
#include <QStringList>

// What may join the playlist. A path holding a line break would split into two entries
// in data.dat, and the list holds at most PlaylistFile::MaxEntries entries.
struct PlaylistAddition {
    QStringList accepted;
    int withLineBreaks = 0; // refused: the path holds CR or LF
    int overCapacity = 0;   // left out: the playlist was full

    // A calm explanation of what was left out, for the user; empty when nothing was.
    QString problem() const;
};

PlaylistAddition planAddition(int currentCount, const QStringList& paths);
