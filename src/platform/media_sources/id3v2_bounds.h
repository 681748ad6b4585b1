#pragma once

#include <QtGlobal>
#include <memory>
#include <taglib/id3v2framefactory.h>
#include <taglib/tiostream.h>

// Limits on what an ID3v2 tag may make the tag reader build. The format allows a tag of
// 256 MiB, and TagLib reads a tag whole and turns each frame into objects many times its
// size (a synchronised lyrics frame of 18 MB becomes a gigabyte of entries), so a file from
// the internet could otherwise have the player killed for memory.
namespace Id3v2Bounds {

// A lyrics frame holds far less than this in any file seen in use; one of this size already
// gives more lines than a lyric file may have.
inline constexpr quint32 MaxLyricFrameBytes = 1024 * 1024;
// Covers: see TagLibMediaTagReader::MaxCoverBytes; a little more for the frame's own fields.
inline constexpr quint32 MaxPictureFrameBytes = 16 * 1024 * 1024 + 64 * 1024;
// Any other frame (titles, private data): nothing the player uses comes near it.
inline constexpr quint32 MaxOtherFrameBytes = 1024 * 1024;
// A tag larger than this is not handed to TagLib as it is stored (see sievedStream).
inline constexpr quint32 MaxTagBytes = 24 * 1024 * 1024;

// The most a frame with this identifier (three or four letters) may hold to be read.
quint32 frameLimit(const char* id, int idLength);

// Makes frames above their limit, and compressed lyrics or pictures (whose size unpacked is
// unknown), into unparsed frames, which share the tag's bytes and build nothing.
TagLib::ID3v2::FrameFactory* frameFactory();

// The file as TagLib should see it: unchanged, or, when it starts with an ID3v2 tag larger
// than MaxTagBytes, with that tag replaced by one of only the frames within their limits
// (none when the tag's frames cannot be walked without unpacking it). Null when the file
// needs no change. Reads frame headers only, never the frames left out.
std::unique_ptr<TagLib::IOStream> sievedStream(TagLib::IOStream& file);

} // namespace Id3v2Bounds
