// What crosses the media reader's socket, both ways. The first two bytes of an input are the
// length of a request, which the reader answers with the rest of the input as the media file
// it was handed; the whole input is also read as an answer, as the player would read one from
// a reader that went wrong. Whatever the bytes, the reader answers with a frame the player
// takes, or with nothing; and what the player takes keeps every bound.
#include "fail.h"
#include "lyric_sources/media_reader_protocol.h"
#include "platform/media_reader/media_reader_service.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace MediaReaderProtocol;

void checkBounds(const Answer& answer) {
    const MediaTags& tags = answer.tags;
    for (const QString* name : {&tags.title, &tags.artist, &tags.album})
        if (name->size() > MaxNameChars)
            fail("a name over its bound");
    if (tags.cover.data.size() > MaxCoverBytes ||
        tags.cover.isNull() != tags.cover.mimeType.isEmpty())
        fail("a cover over its bound, or without a type");
    if (tags.lyricLines.size() > MaxLyricLines)
        fail("more lines than the store holds");
    if (tags.durationMs && *tags.durationMs < 0)
        fail("a length before the start");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const std::optional<Answer> answer = parseAnswer(input.toByteArray()))
        checkBounds(*answer);

    if (size < 2)
        return 0;
    const size_t requestSize = std::min<size_t>(size - 2, size_t(data[0]) << 8 | data[1]);
    const int fd = memfd_create("media", MFD_CLOEXEC);
    if (fd < 0)
        fail("no memory file");
    const size_t file = 2 + requestSize;
    if (size > file && ::write(fd, data + file, size - file) != ssize_t(size - file))
        fail("the memory file took no bytes");
    ::lseek(fd, 0, SEEK_SET);
    bool spent = false;
    const std::optional<AnswerFrame> reply =
        MediaReaderService::answer(input.sliced(2, qsizetype(requestSize)), fd, &spent);
    if (!reply)
        return 0;
    const QByteArray frame = reply->joined();
    const std::optional<quint32> length = frameLength(frame);
    if (!length || qsizetype(*length) != frame.size() - LengthBytes)
        fail("an answer whose length is not its own");
    const std::optional<Answer> answer = parseAnswer(frame.sliced(LengthBytes));
    if (!answer)
        fail("an answer the player would not take");
    checkBounds(*answer);
    return 0;
}
