#pragma once

#include "lyric_sources/media_tags.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// What this run's LRCLIB searches learnt about each track (a file with its tags), so a track
// started again (the repeat mode, the same file handed over twice) is not asked about again
// by itself, and "another candidate" goes on from where it stopped.
//
// Bounded: the outcomes of the last MaxTracks tracks, the candidates' lines of the last
// MaxLists of them; a track whose list was let go is searched again when asked.
class SearchMemory {
public:
    static constexpr int MaxTracks = 1024;
    static constexpr int MaxLists = 16;
    // A failed search (offline, a time-out, a server error) is tried again by itself only
    // after this long.
    static constexpr qint64 RetryAfterMs = 5 * 60 * 1000;

    enum class Outcome { Unknown, Timed, NotFound, PlainOnly, Instrumental, Failed };

    struct Candidate {
        qint64 id = 0;
        QStringList lines;
    };

    struct Track {
        Outcome outcome = Outcome::Unknown;
        qint64 failedAtMs = 0;
        // The timed candidates in the order they are offered.
        std::vector<Candidate> timed;
        bool complete = false; // the search's list is in, not only the lookup's record
        int shown = -1;        // the candidate shown last, -1 for none
    };

    static QString keyOf(const QString& mediaPath, const MediaTags& tags);

    // The track's memory, made empty when there is none; it becomes the most recent one.
    Track& at(const QString& key);
    const Track* find(const QString& key) const;

    // Whether a search by itself may ask about the track at nowMs (any steady clock).
    bool mayAskByItself(const QString& key, qint64 nowMs) const;

private:
    QHash<QString, Track> tracks_;
    QStringList recent_; // keys, the most recent last
};
