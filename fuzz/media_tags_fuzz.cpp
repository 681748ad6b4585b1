// Whole media files of any content (MP3 with ID3v2, FLAC, Ogg, MP4, WAV: the kind is told by
// the first bytes) through the tag reader the player uses. Whatever they hold, reading ends,
// the lyrics stay within the lyric file bounds, a cover is an image within its limit, and
// the names stay short. The seeds are the tests' bare media (tests/support/generated_media)
// with the tags media_tags_test gives them.
#include "fail.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"
#include "platform/media_reader/taglib_media_tags.h"

#include <QString>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader takes a path: the input becomes a file that lives in memory only.
    const int fd = memfd_create("media", MFD_CLOEXEC);
    if (fd < 0)
        fail("no memory file");
    for (size_t written = 0; written < size;) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0)
            fail("the memory file took no bytes");
        written += size_t(n);
    }
    const MediaTags tags = TagLibMediaTagReader().read(QStringLiteral("/proc/self/fd/%1").arg(fd));
    ::close(fd);

    if (tags.lyricLines.size() > LyricFile::MaxLines)
        fail("more lines than a lyric file may have");
    qint64 bytes = 0;
    for (const QString& line : tags.lyricLines)
        bytes += line.toUtf8().size() + 2;
    // Lone surrogates grow when encoded, so the count allows for them.
    if (bytes > LyricFile::MaxBytes + 2 * LyricFile::MaxLines)
        fail("more bytes than a lyric file may have");
    if (tags.cover.data.size() > TagLibMediaTagReader::MaxCoverBytes)
        fail("a cover over its limit");
    if (tags.cover.isNull() != tags.cover.mimeType.isEmpty())
        fail("a cover without a type, or a type without a cover");
    for (const QString* name : {&tags.title, &tags.artist, &tags.album})
        if (name->size() > LyricLineIndex::MaxShownLength)
            fail("a name longer than the reader keeps");
    if (tags.durationMs && *tags.durationMs <= 0)
        fail("a length that is none");
    return 0;
}
