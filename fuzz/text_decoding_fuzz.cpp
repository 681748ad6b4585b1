// Text files of any bytes: UTF-8, GB18030, UTF-16 of either byte order, or none of them.
// Decoding never fails, never makes more lines than asked for, and agrees with itself: a
// UTF-8 text decoded in one pass reads as its lines decoded one by one.
#include "fail.h"
#include "files/text_file.h"

#include <cstdint>

// The first byte is the line limit; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const qsizetype maxLines = data[0];
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QStringList lines = decodeTextLines(bytes, maxLines);
    if (lines.size() > maxLines)
        fail("more lines than asked for");
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            fail("a line holds a line end");
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return 0;
    const QList<QByteArray> raw = splitByteLines(bytes, maxLines);
    if (raw.size() != lines.size())
        fail("decoding changed the number of lines");
    LineDecoder decoder;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (decoder.decode(raw[i]) != lines[i])
            fail("a line decodes differently on its own");
    }
    return 0;
}
