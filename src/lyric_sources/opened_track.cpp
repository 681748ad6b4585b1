#include "lyric_sources/opened_track.h"

#include "lyric_sources/lyric_search.h"
#include "lyric_sources/media_tag_loader.h"
#include "lyrics/lyric_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <utility>

OpenedTrack::OpenedTrack(LyricSourceServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {}

OpenedTrack::~OpenedTrack() = default;

QStringList OpenedTrack::open(const QString& mediaPath) {
    // The same file again (a replay, the repeat mode) keeps its tags until they are read
    // anew, so the desktop's media widget does not fall back to the file name meanwhile.
    if (mediaPath != mediaPath_) {
        hasTags_ = false;
        tags_ = {};
        artUrl_.clear();
    }
    mediaPath_ = mediaPath;
    ++opening_;
    tagsRead_ = false;
    tagOpening_ = 0;
    QStringList lines = findLyrics();
    Q_EMIT opened();
    if (held_) {
        // A finder already made must let go of the previous track now all the same.
        if (finder_)
            finder_->trackOpened(opening_);
        lookingHeld_ = true;
    } else {
        lookFurther();
    }
    return lines;
}

// Where a track's lyrics come from, first to last; the first source that has any is all
// that is shown.
QStringList OpenedTrack::findLyrics() {
    const LyricFile::Places files = LyricFile::placesFor(mediaPath_, services_.userLyricsFolder);
    // 1. The lyric file beside the media; 2. the one in the user's lyrics folder. A file,
    // even an empty one, is the user's word for the track.
    std::optional<QStringList> lines = LyricFile::loadFile(files.beside);
    if (!lines)
        lines = LyricFile::loadFile(files.inUserFolder);
    lyricFileFound_ = lines.has_value();
    // Once the tags are read:
    afterTags_ = [this] {
        const LyricFinder::Opened track = handedOn();
        // 3. a search the user asked for while they were being read, even over a lyric file;
        if (finder().askWaiting(track) || track.lyricFileFound)
            return;
        // 4. the lyrics embedded in the tags;
        if (!tags_.lyricLines.isEmpty())
            return finder().showLines(tags_.lyricLines);
        // only when the user turned the online search on: 5. lyrics found earlier in this run
        // and not saved; 6. LRCLIB's, asked by itself.
        if (!finder().showRemembered(track))
            finder().searchByItself(track);
    };
    return lines.value_or(QStringList{});
}

LyricFinder::Opened OpenedTrack::handedOn() const {
    return {opening_, mediaPath_, lyricFileFound_, tagsRead_ ? &tags_ : nullptr};
}

void OpenedTrack::holdBack() {
    held_ = true;
}

void OpenedTrack::letGo() {
    held_ = false;
    if (std::exchange(lookingHeld_, false))
        lookFurther();
}

void OpenedTrack::lookFurther() {
    finder().trackOpened(opening_);
    if (!services_.tagReader || mediaPath_.isEmpty())
        return;
    if (!tagLoader_) {
        tagLoader_ = std::make_unique<MediaTagLoader>(*services_.tagReader, services_.artFolder);
        connect(tagLoader_.get(), &MediaTagLoader::loaded, this, &OpenedTrack::tagsLoaded);
    }
    qCDebug(lcTags, "reading the tags of %s at %lld ms since the epoch", qUtf8Printable(mediaPath_),
            QDateTime::currentMSecsSinceEpoch());
    sinceOpening_.start();
    tagOpening_ = tagLoader_->load(mediaPath_);
}

void OpenedTrack::tagsLoaded(quint64 opening, const QString& mediaPath, const MediaTags& tags,
                             const QString& artUrl) {
    if (opening != tagOpening_ || mediaPath != mediaPath_)
        return;
    qCDebug(lcTags, "tags of %s arrived after %lld ms", qUtf8Printable(mediaPath),
            sinceOpening_.elapsed());
    hasTags_ = true;
    tags_ = tags;
    // The cover is only ever shown by its file; its bytes need not stay with the track.
    tags_.cover = {};
    artUrl_ = artUrl;
    Q_EMIT tagsChanged();
    tagsRead_ = true;
    afterTags_();
}

LyricFinder& OpenedTrack::finder() {
    if (!finder_) {
        finder_ = std::make_unique<LyricFinder>(
            LyricFinder::Options{services_.settingsFile, services_.userLyricsFolder,
                                 services_.lrclib, services_.lrclibLookups});
        connect(finder_.get(), &LyricFinder::linesFound, this, &OpenedTrack::linesFound);
        connect(finder_.get(), &LyricFinder::notice, this, &OpenedTrack::notice);
        connect(finder_.get(), &LyricFinder::searchOnlineChanged, this,
                &OpenedTrack::searchOnlineChanged);
    }
    return *finder_;
}

LyricFile::Places OpenedTrack::placesFor(const QString& mediaPath) const {
    return LyricFile::placesFor(mediaPath, services_.userLyricsFolder);
}

std::unique_ptr<LyricSearch> OpenedTrack::newSearch() const {
    return std::make_unique<LyricSearch>(services_.lrclib, services_.lrclibLookups);
}

void OpenedTrack::readTagsOf(const QString& mediaPath, QObject* receiver,
                             std::function<void(const MediaTags&)> then) {
    if (!services_.tagReader || mediaPath.isEmpty())
        return;
    if (!otherTagLoader_) {
        // Covers stay out of it: the window shows none.
        otherTagLoader_ = std::make_unique<MediaTagLoader>(*services_.tagReader, QString());
        connect(otherTagLoader_.get(), &MediaTagLoader::loaded, this,
                [this](quint64 opening, const QString&, const MediaTags& tags, const QString&) {
                    if (opening == otherOpening_ && otherReceiver_ && otherThen_)
                        std::exchange(otherThen_, {})(tags);
                });
    }
    otherReceiver_ = receiver;
    otherThen_ = std::move(then);
    otherOpening_ = otherTagLoader_->load(mediaPath);
}

void OpenedTrack::chosen(const QString& mediaPath, const QStringList& lines) {
    if (mediaPath.isEmpty() || mediaPath != mediaPath_)
        return;
    // The track has a lyric file now: a search under way for it must not show over the choice.
    lyricFileFound_ = true;
    if (finder_)
        finder_->trackOpened(opening_);
    Q_EMIT linesFound(lines);
}

bool OpenedTrack::searchOnline() {
    return finder().searchOnline();
}

void OpenedTrack::setSearchOnline(bool on) {
    finder().setSearchOnline(on, handedOn());
}

void OpenedTrack::searchNow() {
    finder().searchNow(handedOn());
}

void OpenedTrack::anotherCandidate() {
    finder().anotherCandidate(handedOn());
}

QString OpenedTrack::title() const {
    if (!tags_.title.isEmpty() || mediaPath_.isEmpty())
        return tags_.title;
    return QFileInfo(mediaPath_).completeBaseName();
}
