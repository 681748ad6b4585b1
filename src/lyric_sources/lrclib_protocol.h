#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <vector>

// What LRCLIB (a free lyrics database) is asked and what it answers, without the network.
// LRCLIB answers a lookup of one track by its tags (/api/get) with one record or a 404, and
// a search (/api/search) with a list of records.
namespace Lrclib {

// The track to look up, from its tags.
struct Track {
    QString title;
    QString artist;
    QString album;
    std::optional<qint64> durationMs;
};

// One lyrics record as LRCLIB keeps it. Texts missing or null in the answer are empty.
struct Record {
    qint64 id = 0;
    QString trackName;
    QString artistName;
    QString albumName;
    std::optional<double> durationSeconds;
    bool instrumental = false;
    QString plainLyrics;
    QString syncedLyrics;
};

// Search candidates further than this from the track's own duration are another recording.
inline constexpr double DurationToleranceSeconds = 2.0;

// Whether the track has what a lookup needs: title, artist and duration.
bool canLookUp(const Track& track);

// The lookup URL of one track, /api/get with every tag LRCLIB takes, duration in whole
// seconds;
// empty when it cannot be looked up.
QUrl lookupUrl(const QUrl& base, const Track& track);

// The search URL, /api/search by title and artist; empty without a title.
QUrl searchUrl(const QUrl& base, const Track& track);

// One record, as /api/get answers; empty optional when the text is no JSON object of a
// record (an error object, an HTML page, anything else).
std::optional<Record> parseRecord(QByteArrayView json);

// The records of a /api/search answer; empty optional when it is no JSON array. Elements
// that are no records are passed over.
std::optional<std::vector<Record>> parseRecords(QByteArrayView json);

// The search records that fit the track: within the tolerance of its duration when it has
// one, synchronised lyrics before plain ones, each the closest in length first (ties in the
// answer's order).
std::vector<Record> candidatesFor(const Track& track, std::vector<Record> records);

// What a record gives the player.
struct Lyrics {
    enum class Kind { None, Instrumental, Synced, Plain };
    Kind kind = Kind::None;
    QStringList lines; // within the lyric file's bounds
};

// The record's lyrics: the synchronised ones when they are LRC, else the plain ones as they
// are (never given invented times); an instrumental record has none.
Lyrics lyricsOf(const Record& record);

// An untagged file's base name read as "Artist - Title", or failing that "Artist-Title":
// split at the first such dash with text on both sides; empty when there is none.
struct ArtistAndTitle {
    QString artist;
    QString title;
};
std::optional<ArtistAndTitle> splitFileName(const QString& baseName);

} // namespace Lrclib
