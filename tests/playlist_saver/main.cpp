// Saves two full playlists into one data.dat in turn until it is killed.
#include "playlists.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QList<PlaylistFile::Entry> playlists[] = {fullPlaylist(0), fullPlaylist(1)};
    for (int turn = 0;; turn ^= 1)
        PlaylistFile::save(path, playlists[turn]);
}
