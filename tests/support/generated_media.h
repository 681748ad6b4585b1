#pragma once

#include <QString>

namespace testsupport {

// Media files of each container the tag reader knows, as small as the container allows and
// without any tags, so tests can give them exactly the tags they need (TagLib writes those).
// The audio inside is silence or noise that only the container's bookkeeping describes; no
// decoder is meant to play it, but the stated length is `seconds`. False when the file
// cannot be written.
enum class MediaContainer { Mp3, Flac, OggVorbis, Opus, M4a, Wav };

bool writeBareMedia(const QString& path, MediaContainer container, int seconds = 3);

} // namespace testsupport
