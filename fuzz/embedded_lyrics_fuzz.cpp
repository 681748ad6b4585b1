// Lyrics from media tags of any content: synchronised entries of any time and text, and
// texts that may or may not be LRC. Whatever they hold, the lines stay within the lyric file
// bounds, synchronised entries become timed lines in time order, and LRC text is kept
// exactly as it was stored.
#include "fail.h"
#include "lyric_sources/embedded_lyrics.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void checkBounds(const QStringList& lines) {
    if (lines.size() > LyricFile::MaxLines)
        fail("more lines than a lyric file may have");
    qint64 bytes = 0;
    for (const QString& line : lines)
        bytes += line.toUtf8().size() + 2;
    // Lone surrogates grow when encoded, so the count allows for them.
    if (bytes > LyricFile::MaxBytes + 2 * LyricFile::MaxLines)
        fail("more bytes than a lyric file may have");
}

std::uint32_t msOfTag(const QString& line) {
    const qsizetype colon = line.indexOf(u':');
    const qsizetype point = line.indexOf(u'.');
    const std::uint32_t minutes = line.mid(1, colon - 1).toUInt();
    const std::uint32_t seconds = line.mid(colon + 1, point - colon - 1).toUInt();
    const std::uint32_t hundredths = line.mid(point + 1, 2).toUInt();
    return minutes * 60'000 + seconds * 1'000 + hundredths * 10;
}

} // namespace

// The first byte picks the test. Synchronised: entries of four bytes of time and a text
// ended by a NUL. LRC: the rest is the text, as UTF-8.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    if (size > (1 << 20))
        return 0;
    const QByteArrayView input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 1) {
        // Inputs stay far below the bounds, so every entry makes a line.
        std::vector<EmbeddedLyrics::TimedText> entries;
        for (qsizetype at = 0; at + 4 <= input.size();) {
            std::uint32_t ms;
            std::memcpy(&ms, input.data() + at, 4);
            at += 4;
            qsizetype end = input.indexOf('\0', at);
            if (end < 0)
                end = input.size();
            entries.push_back({ms, QString::fromUtf8(input.sliced(at, end - at))});
            at = end + 1;
        }
        const QStringList lines = EmbeddedLyrics::fromSynchronized(entries);
        checkBounds(lines);
        if (lines.size() != qsizetype(entries.size()))
            fail("an entry was lost");
        std::uint32_t previous = 0;
        for (const QString& line : lines) {
            if (!EmbeddedLyrics::isTimedLine(line))
                fail("a synchronised line is not timed");
            if (line.contains(u'\r') || line.contains(u'\n'))
                fail("a line holds a line break");
            if (line.size() > 20 + LyricLineIndex::MaxShownLength)
                fail("a line is longer than anything can show");
            const std::uint32_t ms = msOfTag(line);
            if (ms < previous)
                fail("lines out of time order");
            previous = ms;
        }
        for (const auto& entry : entries) {
            const bool oneLine = !entry.text.contains(u'\r') && !entry.text.contains(u'\n') &&
                                 entry.text.size() <= LyricLineIndex::MaxShownLength;
            if (oneLine && !lines.contains(EmbeddedLyrics::timeTag(entry.ms) + entry.text))
                fail("an entry's text was changed");
            if (msOfTag(EmbeddedLyrics::timeTag(entry.ms)) != entry.ms - entry.ms % 10)
                fail("a time tag does not read back as its time");
        }
        return 0;
    }

    const QString text = QString::fromUtf8(input);
    const QStringList lines = EmbeddedLyrics::fromLrcText(text);
    checkBounds(lines);
    if (lines.isEmpty())
        return 0;
    if (std::none_of(lines.begin(), lines.end(),
                     [](const QString& line) { return EmbeddedLyrics::isTimedLine(line); }))
        fail("plain text was taken for LRC");
    // Lines as stored: together they are the text without its line ends.
    QString stored = text;
    stored.remove(u'\r').remove(u'\n');
    if (lines.join(QString()) != stored)
        fail("the lines differ from the text stored");
    return 0;
}
