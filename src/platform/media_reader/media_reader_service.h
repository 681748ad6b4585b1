#pragma once

#include "lyric_sources/media_reader_protocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The media reader's side of its conversation with the player (see
// lyric_sources/media_reader_protocol.h): each request comes with the media file's open
// descriptor, and is answered with the file's tags.
namespace MediaReaderService {

// The answer frame to a request's bytes (without their length) that came with fd, a
// descriptor the answer takes and closes; none for bytes that are no request, and the
// descriptor is closed all the same. A read that runs out of the memory the process may have
// is answered as too large; the process is then best ended (*spent is set), as TagLib may
// have left things half built.
std::optional<MediaReaderProtocol::AnswerFrame> answer(QByteArrayView request, int fd, bool* spent);

// Answers requests on socket until the player closes its end, sends anything that is no
// request, or a read spends the process. Returns the process's exit status.
int serve(int socket);

} // namespace MediaReaderService
