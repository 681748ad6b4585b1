// LRCLIB's answers of any bytes, as a lookup's record and as a search's list. Parsing never
// fails loudly, candidates fit the track's duration with timed lyrics first, and what a
// record gives the player is what LRCLIB's fields say, within the lyric file bounds.
#include "fail.h"
#include "lyric_sources/embedded_lyrics.h"
#include "lyric_sources/lrclib_protocol.h"
#include "lyrics/lyric_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void checkLyrics(const Lrclib::Record& record) {
    const Lrclib::Lyrics lyrics = Lrclib::lyricsOf(record);
    if (lyrics.lines.size() > LyricFile::MaxLines)
        fail("more lines than a lyric file may have");
    switch (lyrics.kind) {
    case Lrclib::Lyrics::Kind::Instrumental:
        if (!record.instrumental || !lyrics.lines.isEmpty())
            fail("lyrics for an instrumental, or an instrumental made up");
        break;
    case Lrclib::Lyrics::Kind::Synced:
        if (record.instrumental || lyrics.lines.isEmpty() ||
            !std::any_of(lyrics.lines.begin(), lyrics.lines.end(),
                         [](const QString& l) { return EmbeddedLyrics::isTimedLine(l); }))
            fail("synced lyrics without a timed line");
        break;
    case Lrclib::Lyrics::Kind::Plain:
        if (record.instrumental || record.plainLyrics.trimmed().isEmpty() ||
            !EmbeddedLyrics::fromLrcText(record.syncedLyrics).isEmpty())
            fail("plain lyrics chosen over synced ones, or out of nothing");
        break;
    case Lrclib::Lyrics::Kind::None:
        if (record.instrumental || !record.plainLyrics.trimmed().isEmpty())
            fail("lyrics lost");
        break;
    }
}

} // namespace

// The first two bytes are the track's duration in seconds; the rest is the answer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const qint64 durationMs = (qint64(data[0]) << 8 | data[1]) * 1000;
    const QByteArrayView answer(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    if (const std::optional<Lrclib::Record> record = Lrclib::parseRecord(answer))
        checkLyrics(*record);

    const std::optional<std::vector<Lrclib::Record>> records = Lrclib::parseRecords(answer);
    if (!records)
        return 0;
    for (const Lrclib::Record& record : *records)
        checkLyrics(record);
    const Lrclib::Track track{QStringLiteral("t"), QStringLiteral("a"), {}, durationMs};
    const std::vector<Lrclib::Record> candidates = Lrclib::candidatesFor(track, *records);
    if (candidates.size() > records->size())
        fail("more candidates than records");
    bool untimedSeen = false;
    for (const Lrclib::Record& candidate : candidates) {
        if (!candidate.durationSeconds ||
            std::abs(*candidate.durationSeconds * 1000 - double(durationMs)) > 2000.5)
            fail("a candidate of another duration");
        const bool timed = Lrclib::lyricsOf(candidate).kind == Lrclib::Lyrics::Kind::Synced;
        if (timed && untimedSeen)
            fail("timed lyrics offered after untimed ones");
        untimedSeen = untimedSeen || !timed;
    }
    return 0;
}
