#pragma once

#include "lyric_sources/media_tags.h"

// Tags read with TagLib from MP3 (ID3v2, ID3v1), FLAC, Ogg Vorbis, Opus, MP4 audio, WAV and
// AIFF. The kind of file is told by its first bytes, so a misnamed file is still read, and only
// regular files are opened at all: a named pipe or a device would hold the reader up.
//
// The player reads no tags itself: its media reader process does, with this reader, inside
// limits the kernel keeps (platform/media_reader/). The reader is also whole in a process of
// its own for the tests and the benchmarks.
class TagLibMediaTagReader : public MediaTagReader {
public:
    // Pictures larger than this are left out: no cover art is this large, and the bytes
    // stay in memory with the track.
    static constexpr qsizetype MaxCoverBytes = 16 * 1024 * 1024;

    MediaTags read(const QString& path) const override;

    // The same through an open descriptor of a regular file, which it takes (and closes);
    // the name's suffix tells an MPEG file without a tag.
    static MediaTags readOpened(int fd, const QString& fileName);
};
