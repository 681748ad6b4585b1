// data.dat as any tool or accident may leave it: any bytes, any count line. Reading never
// fails, keeps at most the counted and the available entries, and whatever was read is
// written back exactly as it was read.
#include "fail.h"
#include "files/text_file.h"
#include "player/playlist_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArrayView> lines = byteLineViews(bytes, PlaylistFile::MaxEntries + 1);
    const PlaylistEntries entries = PlaylistFile::entriesFromBytes(bytes.toByteArray());
    if (entries.size() > PlaylistFile::MaxEntries ||
        entries.size() > std::max<qsizetype>(0, lines.size() - 1))
        fail("more entries than the file holds");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.bytes(i) != lines[i + 1])
            fail("an entry would not be written back as it was read");
    }
    // A saved playlist reads back as the same entries, byte for byte.
    const QByteArray saved = PlaylistFile::serialize(entries);
    const PlaylistEntries again = PlaylistFile::entriesFromBytes(saved);
    if (again.size() != entries.size())
        fail("a saved playlist reads back with another count");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (again.bytes(i) != entries.bytes(i) || again.path(i) != entries.path(i))
            fail("a saved entry reads back differently");
    }
    return 0;
}
