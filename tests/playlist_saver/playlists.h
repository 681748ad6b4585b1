#pragma once

#include "player/playlist_file.h"

// The two full playlists the saver writes in turn.
inline PlaylistEntries fullPlaylist(int which) {
    PlaylistEntries entries;
    for (int i = 0; i < PlaylistFile::MaxEntries; ++i) {
        entries.append(which == 0 ? QStringLiteral("/music/first/%1.mp3").arg(i)
                                  : QStringLiteral("/音乐/second/track %1.mp3").arg(i));
    }
    return entries;
}
