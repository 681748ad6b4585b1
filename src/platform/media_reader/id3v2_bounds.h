#pragma once

#include <QtGlobal>
#include <memory>
#include <optional>
#include <taglib/id3v2framefactory.h>
#include <taglib/tiostream.h>

// Limits that keep what an ID3v2 tag makes the tag reader build near what the player uses.
// TagLib turns each frame into objects many times its size (a synchronised lyrics frame of
// 18 MB becomes a gigabyte of entries); the frames over their limits are left unparsed, at
// the cost of their bytes only. What the limits do not catch (a tag of 256 MiB, a packed
// frame that unpacks to any size) the reader's process limits do: these keep normal files
// small, they are no bound of their own.
namespace Id3v2Bounds {

// A lyrics frame holds far less than this in any file seen in use; one of this size already
// gives more lines than a lyric file may have.
inline constexpr quint32 MaxLyricFrameBytes = 1024 * 1024;
// Covers: see TagLibMediaTagReader::MaxCoverBytes; a little more for the frame's own fields.
inline constexpr quint32 MaxPictureFrameBytes = 16 * 1024 * 1024 + 64 * 1024;
// Any other frame (titles, private data): nothing the player uses comes near it.
inline constexpr quint32 MaxOtherFrameBytes = 1024 * 1024;
// Chunks looked at before a WAV or AIFF file's tag is given up.
inline constexpr int MaxChunks = 1000;

// The most a frame with this identifier (three or four letters) may hold to be read.
quint32 frameLimit(const char* id, int idLength);

// Makes frames above their limit into unparsed frames, which build nothing.
TagLib::ID3v2::FrameFactory* frameFactory();

// The chunk of a WAV or AIFF file that holds its ID3v2 tag: where its name and its tag are.
// TagLib's readers of those files parse the tag with no say in its frames, so the reader
// hides the chunk from them (hidingChunk) and parses the tag itself, with frameFactory.
struct TagChunk {
    long nameAt;
    long tagAt;
};
// Read with pread, before TagLib's stream reads the descriptor.
std::optional<TagChunk> tagChunk(int fd);
std::unique_ptr<TagLib::IOStream> hidingChunk(TagLib::IOStream& file, const TagChunk& chunk);

} // namespace Id3v2Bounds
