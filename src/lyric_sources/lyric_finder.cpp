#include "lyric_sources/lyric_finder.h"

#include "lyric_sources/saved_lyrics.h"
#include "settings/program_settings.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

QString LyricFinder::noticeText(Notice notice) {
    switch (notice) {
    case Notice::Searching:
        return QStringLiteral("正在搜索歌词…");
    case Notice::Found:
        return QStringLiteral("已找到歌词");
    case Notice::FirstCandidateAgain:
        return QStringLiteral("已是最后一个候选，回到第一个歌词");
    case Notice::FoundUnsaved:
        return QStringLiteral("已找到歌词（未保存）");
    case Notice::NotFound:
        return QStringLiteral("未找到歌词");
    case Notice::PlainOnly:
        return QStringLiteral("只有没有时间轴的歌词");
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
    searchOnline_ =
        ProgramSettings::read(options_.settingsFile, ProgramSettings::SearchLyricsOnline);
    files_.setMaxThreadCount(1);
    clock_.start();
}

LyricFinder::~LyricFinder() {
    files_.waitForDone();
}

void LyricFinder::trackOpened(quint64 opening) {
    cancelRequest();
    opening_ = opening;
    linesShown_ = false;
    waiting_ = false;
    lookingUp_ = false;
}

const MediaTags* LyricFinder::tagsOf(const Opened& track) const {
    return track.opening == opening_ ? track.tags : nullptr;
}

bool LyricFinder::askWaiting(const Opened& track) {
    if (!tagsOf(track) || !std::exchange(waiting_, false))
        return false;
    ask(track);
    return true;
}

void LyricFinder::showLines(const QStringList& lines) {
    linesShown_ = true;
    Q_EMIT linesFound(lines);
}

bool LyricFinder::showRemembered(const Opened& track) {
    const MediaTags* tags = tagsOf(track);
    if (!tags || !searchOnline_)
        return false;
    const SearchMemory::Track* known = memory_.find(SearchMemory::keyOf(track.mediaPath, *tags));
    if (!known || known->shown < 0 || known->shown >= int(known->timed.size()))
        return false;
    showLines(known->timed[std::size_t(known->shown)].lines);
    return true;
}

void LyricFinder::searchByItself(const Opened& track) {
    const MediaTags* tags = tagsOf(track);
    if (tags && searchOnline_ &&
        memory_.mayAskByItself(SearchMemory::keyOf(track.mediaPath, *tags), clock_.elapsed()))
        startSearch(Request::ByItself, track);
}

void LyricFinder::searchNow(const Opened& track) {
    if (track.opening == opening_ && !track.mediaPath.isEmpty())
        startSearch(Request::Now, track);
}

void LyricFinder::anotherCandidate(const Opened& track) {
    if (track.opening != opening_ || track.mediaPath.isEmpty() || busy() || waiting_)
        return;
    if (!tagsOf(track))
        return startSearch(Request::Another, track);
    target_ = targetOf(track);
    const SearchMemory::Track& known = remembered();
    if (!known.complete && nextCandidate(known) >= int(known.timed.size()))
        return startSearch(Request::Another, track);
    offer(nextCandidate(known));
}

int LyricFinder::nextCandidate(const SearchMemory::Track& track) const {
    return track.shown >= 0 ? track.shown + 1 : target_.firstOffered;
}

void LyricFinder::setSearchOnline(bool on, const Opened& track) {
    if (on == searchOnline_)
        return;
    searchOnline_ = on;
    ProgramSettings::write(options_.settingsFile, ProgramSettings::SearchLyricsOnline, on);
    Q_EMIT searchOnlineChanged(on);
    const MediaTags* tags = tagsOf(track);
    if (on && tags && !track.lyricFileFound && !linesShown_ && !busy() &&
        memory_.mayAskByItself(SearchMemory::keyOf(track.mediaPath, *tags), clock_.elapsed()))
        startSearch(Request::ByItself, track);
}

LyricFinder::Target LyricFinder::targetOf(const Opened& track) const {
    Target target;
    target.opening = track.opening;
    if (track.tags)
        target.key = SearchMemory::keyOf(track.mediaPath, *track.tags);
    target.lookupQuery = query(track, true);
    target.searchQuery = query(track, false);
    target.places = LyricFile::placesFor(track.mediaPath, options_.userLyricsFolder);
    target.firstOffered = track.lyricFileFound ? 1 : 0;
    return target;
}

Lrclib::Track LyricFinder::query(const Opened& opened, bool forLookup) {
    Lrclib::Track track;
    if (opened.tags) {
        track.title = opened.tags->title;
        track.artist = opened.tags->artist;
        track.album = opened.tags->album;
        track.durationMs = opened.tags->durationMs;
    }
    if (!track.title.isEmpty())
        return track;
    // Untagged files are mostly named "Artist - Title", or after their title alone: the
    // lookup tries the parts, the search the whole name.
    track.title = QFileInfo(opened.mediaPath).completeBaseName();
    if (forLookup) {
        if (std::optional<Lrclib::ArtistAndTitle> parts = Lrclib::splitFileName(track.title)) {
            track.title = parts->title;
            if (track.artist.isEmpty())
                track.artist = parts->artist;
        }
    }
    return track;
}

SearchMemory::Track& LyricFinder::remembered() {
    return memory_.at(target_.key);
}

void LyricFinder::startSearch(Request request, const Opened& track) {
    cancelRequest();
    request_ = request;
    say(Notice::Searching);
    if (tagsOf(track))
        ask(track);
    else
        waiting_ = true;
}

void LyricFinder::ask(const Opened& track) {
    target_ = targetOf(track);
    SearchMemory::Track& known = remembered();
    if (request_ == Request::Another && known.complete)
        return offer(nextCandidate(known));
    // "Another candidate" adds to the list it has; any other search makes it anew.
    gathered_ = request_ == Request::Another ? known.timed : decltype(gathered_){};
    plainSeen_ = false;
    instrumentalSeen_ = false;
    // The exact lookup first, while the list is empty; a search lists the rest.
    lookingUp_ = gathered_.empty() && Lrclib::canLookUp(target_.lookupQuery);
    LrclibLookup* const lrclib = lookup();
    if (lrclib == nullptr) {
        known.outcome = SearchMemory::Outcome::Failed;
        known.failedAtMs = clock_.elapsed();
        return say(Notice::Offline);
    }
    if (lookingUp_)
        lrclib->lookUp(target_.lookupQuery);
    else
        lrclib->search(target_.searchQuery);
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

std::optional<LyricFinder::Notice> LyricFinder::failureOf(LrclibLookup::Status status) {
    switch (status) {
    case LrclibLookup::Status::Offline:
        return Notice::Offline;
    case LrclibLookup::Status::TimedOut:
        return Notice::TimedOut;
    case LrclibLookup::Status::BadAnswer:
        return Notice::ServerError;
    case LrclibLookup::Status::Found:
    case LrclibLookup::Status::NotFound:
        break;
    }
    return std::nullopt;
}

void LyricFinder::answered(const LrclibLookup::Answer& answer) {
    const bool fromLookup = std::exchange(lookingUp_, false);
    SearchMemory::Track& known = remembered();
    const auto failed = [&](Notice notice) {
        if (known.timed.empty()) {
            known.outcome = SearchMemory::Outcome::Failed;
            known.failedAtMs = clock_.elapsed();
        }
        say(notice);
    };
    if (const std::optional<Notice> failure = failureOf(answer.status))
        return failed(*failure);
    for (const Lrclib::Record& record : answer.records) {
        const Lrclib::Lyrics lyrics = Lrclib::lyricsOf(record);
        instrumentalSeen_ = instrumentalSeen_ || lyrics.kind == Lrclib::Lyrics::Kind::Instrumental;
        plainSeen_ = plainSeen_ || lyrics.kind == Lrclib::Lyrics::Kind::Plain;
        const bool listed = std::any_of(gathered_.cbegin(), gathered_.cend(),
                                        [&](const auto& c) { return c.id == record.id; });
        if (!listed && lyrics.kind == Lrclib::Lyrics::Kind::Synced)
            gathered_.push_back({record.id, lyrics.lines});
    }
    const int wanted = request_ == Request::Another ? nextCandidate(known) : 0;
    if (fromLookup && !(instrumentalSeen_ && gathered_.empty()) && wanted >= int(gathered_.size()))
        return lookup_->search(target_.searchQuery);

    known.timed = std::move(gathered_);
    gathered_.clear();
    known.complete = !fromLookup;
    if (request_ != Request::Another)
        known.shown = -1;
    if (known.timed.empty()) {
        known.outcome = instrumentalSeen_ ? SearchMemory::Outcome::Instrumental
                        : plainSeen_      ? SearchMemory::Outcome::PlainOnly
                                          : SearchMemory::Outcome::NotFound;
        known.complete = true;
    } else {
        known.outcome = SearchMemory::Outcome::Timed;
    }
    offer(wanted);
}

void LyricFinder::offer(int wanted) {
    const SearchMemory::Track& known = remembered();
    const int count = int(known.timed.size());
    if (wanted < count)
        return show(wanted, false);
    if (count >= 2)
        return show(0, true);
    if (count == 1)
        return say(Notice::NoOtherCandidate);
    switch (known.outcome) {
    case SearchMemory::Outcome::Instrumental:
        return say(Notice::Instrumental);
    case SearchMemory::Outcome::PlainOnly:
        return say(Notice::PlainOnly);
    default:
        return say(Notice::NotFound);
    }
}

void LyricFinder::show(int index, bool wrapped) {
    SearchMemory::Track& known = remembered();
    known.shown = index;
    const QStringList lines = known.timed[std::size_t(index)].lines;
    showLines(lines);

    files_.start([this, opening = target_.opening, lines, wrapped, places = target_.places] {
        const SavedLyrics::Outcome outcome = SavedLyrics::save(places, lines).outcome;
        // Queued to the finder's thread; the destructor waits for this work, so the finder
        // is still there to receive it, and Qt drops it if the finder goes before it runs.
        QMetaObject::invokeMethod(
            this,
            [this, opening, outcome, wrapped] {
                if (opening != opening_)
                    return;
                if (outcome != SavedLyrics::Outcome::Saved)
                    say(Notice::FoundUnsaved);
                else
                    say(wrapped ? Notice::FirstCandidateAgain : Notice::Found);
            },
            Qt::QueuedConnection);
    });
}

void LyricFinder::say(Notice notice) {
    Q_EMIT this->notice(notice, noticeText(notice));
}
