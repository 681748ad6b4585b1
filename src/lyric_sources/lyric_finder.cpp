#include "lyric_sources/lyric_finder.h"

#include "lyric_sources/online_lyrics_setting.h"
#include "lyric_sources/saved_lyrics.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {

bool hasLyrics(const Lrclib::Record& record) {
    const Lrclib::Lyrics::Kind kind = Lrclib::lyricsOf(record).kind;
    return kind == Lrclib::Lyrics::Kind::Synced || kind == Lrclib::Lyrics::Kind::Plain;
}

} // namespace

QString LyricFinder::noticeText(Notice notice) {
    switch (notice) {
    case Notice::Searching:
        return QStringLiteral("正在搜索歌词…");
    case Notice::Found:
        return QStringLiteral("已找到歌词");
    case Notice::FoundUntimed:
        return QStringLiteral("已找到歌词（没有时间轴）");
    case Notice::FoundUnsaved:
        return QStringLiteral("已找到歌词（未保存）");
    case Notice::NotFound:
        return QStringLiteral("未找到歌词");
    case Notice::NoOtherCandidate:
        return QStringLiteral("没有其他候选歌词");
    case Notice::Instrumental:
        return QStringLiteral("这是一首纯音乐");
    case Notice::Offline:
        return QStringLiteral("无法连接歌词网站");
    case Notice::TimedOut:
        return QStringLiteral("搜索歌词超时");
    case Notice::ServerError:
        return QStringLiteral("歌词网站出错");
    }
    return {};
}

LyricFinder::LyricFinder(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    searchOnline_ = OnlineLyricsSetting::read(options_.settingsFile);
    files_.setMaxThreadCount(1);
}

LyricFinder::~LyricFinder() {
    files_.waitForDone();
}

void LyricFinder::trackOpened(const QString& mediaPath, bool lyricFileFound) {
    cancelRequest();
    ++opening_;
    mediaPath_ = mediaPath;
    lyricFileFound_ = lyricFileFound;
    tags_.reset();
    hasLines_ = lyricFileFound;
    searchWhenTagged_ = false;
    candidates_.clear();
    shown_ = -1;
    wanted_ = 0;
    lookingUp_ = false;
    searched_ = false;
}

void LyricFinder::tagsRead(const QString& mediaPath, const MediaTags& tags) {
    if (mediaPath != mediaPath_ || tags_)
        return;
    tags_ = tags;
    if (searchWhenTagged_) {
        searchWhenTagged_ = false;
        ask();
        return;
    }
    if (lyricFileFound_)
        return;
    if (!tags.lyricLines.isEmpty()) {
        hasLines_ = true;
        Q_EMIT linesFound(tags.lyricLines);
        return;
    }
    if (searchOnline_)
        startSearch(0);
}

void LyricFinder::searchNow() {
    if (mediaPath_.isEmpty())
        return;
    candidates_.clear();
    shown_ = -1;
    searched_ = false;
    startSearch(0);
}

void LyricFinder::anotherCandidate() {
    if (mediaPath_.isEmpty() || busy() || searchWhenTagged_)
        return;
    // A lyric file found on opening is most likely the first candidate, saved by an earlier
    // search; the next one is the one to offer.
    const int next = shown_ >= 0 ? shown_ + 1 : (lyricFileFound_ ? 1 : 0);
    if (next < int(candidates_.size())) {
        wanted_ = next;
        showWanted(false);
        return;
    }
    if (searched_) {
        say(Notice::NoOtherCandidate);
        return;
    }
    startSearch(next);
}

void LyricFinder::setSearchOnline(bool on) {
    if (on == searchOnline_)
        return;
    searchOnline_ = on;
    OnlineLyricsSetting::write(options_.settingsFile, on);
    Q_EMIT searchOnlineChanged(on);
    if (on && tags_ && !hasLines_ && !busy() && candidates_.empty() && !searched_)
        startSearch(0);
}

Lrclib::Track LyricFinder::track() const {
    Lrclib::Track track;
    if (tags_) {
        track.title = tags_->title;
        track.artist = tags_->artist;
        track.album = tags_->album;
        track.durationMs = tags_->durationMs;
    }
    // Untagged files are mostly named after their title.
    if (track.title.isEmpty())
        track.title = QFileInfo(mediaPath_).completeBaseName();
    return track;
}

void LyricFinder::startSearch(int wanted) {
    cancelRequest();
    wanted_ = wanted;
    say(Notice::Searching);
    if (tags_)
        ask();
    else
        searchWhenTagged_ = true;
}

void LyricFinder::ask() {
    const Lrclib::Track query = track();
    // The exact lookup first, while the list is empty; a search lists the rest.
    lookingUp_ = candidates_.empty() && Lrclib::canLookUp(query);
    LrclibLookup* const lrclib = lookup();
    if (lrclib == nullptr)
        return say(Notice::Offline);
    if (lookingUp_)
        lrclib->lookUp(query);
    else
        lrclib->search(query);
}

LrclibLookup* LyricFinder::lookup() {
    if (!lookup_ && options_.lookups)
        lookup_ = options_.lookups(
            options_.lrclib, [this](const LrclibLookup::Answer& answer) { answered(answer); });
    return lookup_.get();
}

void LyricFinder::cancelRequest() {
    if (lookup_)
        lookup_->cancel();
}

void LyricFinder::answered(const LrclibLookup::Answer& answer) {
    const bool fromLookup = std::exchange(lookingUp_, false);
    switch (answer.status) {
    case LrclibLookup::Status::Offline:
        return say(Notice::Offline);
    case LrclibLookup::Status::TimedOut:
        return say(Notice::TimedOut);
    case LrclibLookup::Status::BadAnswer:
        return say(Notice::ServerError);
    case LrclibLookup::Status::Found:
    case LrclibLookup::Status::NotFound:
        break;
    }
    bool instrumental = false;
    for (const Lrclib::Record& record : answer.records) {
        instrumental = instrumental || record.instrumental;
        const bool known = std::any_of(candidates_.cbegin(), candidates_.cend(),
                                       [&](const auto& c) { return c.id == record.id; });
        if (!known && hasLyrics(record))
            candidates_.push_back(record);
    }
    if (fromLookup && instrumental && candidates_.empty())
        return say(Notice::Instrumental);
    if (wanted_ < int(candidates_.size()) || !fromLookup) {
        searched_ = searched_ || !fromLookup;
        return showWanted(instrumental);
    }
    lookup_->search(track());
}

void LyricFinder::showWanted(bool instrumentalSeen) {
    if (wanted_ >= int(candidates_.size())) {
        if (wanted_ > 0 && !candidates_.empty())
            return say(Notice::NoOtherCandidate);
        return say(instrumentalSeen ? Notice::Instrumental : Notice::NotFound);
    }
    shown_ = wanted_;
    const Lrclib::Lyrics lyrics = Lrclib::lyricsOf(candidates_[std::size_t(shown_)]);
    hasLines_ = true;
    Q_EMIT linesFound(lyrics.lines);

    const bool timed = lyrics.kind == Lrclib::Lyrics::Kind::Synced;
    files_.start([this, opening = opening_, mediaPath = mediaPath_, lines = lyrics.lines, timed,
                  folder = options_.userLyricsFolder] {
        const SavedLyrics::Outcome outcome = SavedLyrics::save(mediaPath, lines, folder).outcome;
        // Queued to the finder's thread; the destructor waits for this work, so the finder
        // is still there to receive it, and Qt drops it if the finder goes before it runs.
        QMetaObject::invokeMethod(
            this,
            [this, opening, outcome, timed] {
                if (opening != opening_)
                    return;
                if (outcome != SavedLyrics::Outcome::Saved)
                    say(Notice::FoundUnsaved);
                else
                    say(timed ? Notice::Found : Notice::FoundUntimed);
            },
            Qt::QueuedConnection);
    });
}

void LyricFinder::say(Notice notice) {
    Q_EMIT this->notice(notice, noticeText(notice));
}
