#include "lyric_sources/search_memory.h"

QString SearchMemory::keyOf(const QString& mediaPath, const MediaTags& tags) {
    // Unit separators cannot occur in a path or a tag the user typed.
    const QChar separator(0x1F);
    return mediaPath + separator + tags.title + separator + tags.artist + separator + tags.album +
           separator + (tags.durationMs ? QString::number(*tags.durationMs) : QString());
}

SearchMemory::Track& SearchMemory::at(const QString& key) {
    recent_.removeOne(key);
    recent_.append(key);
    while (recent_.size() > MaxTracks)
        tracks_.remove(recent_.takeFirst());
    int lists = 0;
    for (qsizetype i = recent_.size() - 1; i >= 0; --i) {
        Track& older = tracks_[recent_[i]];
        if (older.timed.empty() || ++lists <= MaxLists)
            continue;
        older.timed.clear();
        older.complete = false;
    }
    return tracks_[key];
}

const SearchMemory::Track* SearchMemory::find(const QString& key) const {
    const auto found = tracks_.constFind(key);
    return found == tracks_.constEnd() ? nullptr : &*found;
}

bool SearchMemory::mayAskByItself(const QString& key, qint64 nowMs) const {
    const Track* track = find(key);
    if (track == nullptr)
        return true;
    switch (track->outcome) {
    case Outcome::Unknown:
        return true;
    case Outcome::Failed:
        return nowMs - track->failedAtMs >= RetryAfterMs;
    case Outcome::Timed:
        // Found before, but neither saved nor kept: ask again rather than show nothing.
        return track->timed.empty();
    case Outcome::NotFound:
    case Outcome::PlainOnly:
    case Outcome::Instrumental:
        break;
    }
    return false;
}
