#pragma once

#include "lyric_sources/lrclib_lookup.h"
#include "lyric_sources/lyric_finder.h"
#include "lyric_sources/media_tags.h"
#include "lyrics/lyric_file.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class LyricSearch;
class MediaTagLoader;

// Where the lyrics and the tags of the tracks come from.
struct LyricSourceServices {
    const MediaTagReader* tagReader = nullptr; // none: no tags are read
    QString artFolder;                         // covers, as files; empty: none are written
    QString userLyricsFolder;                  // lyric files looked for second; empty: none
    QString settingsFile;         // vellora.conf, which holds whether the search runs by itself
    LrclibLookup::Options lrclib; // an empty base URL asks no server
    LrclibLookupFactory lrclibLookups; // none: searches end as Offline
};

// The track opened last, as far as its lyrics and tags go: the one keeper of its path, its
// tags and whether it has a lyric file, which the finder is handed with every call. And the
// one place that says where a track's lyrics come from (findLyrics()): its lyric file beside
// it, else the one in the user's lyrics folder; once the tags are read, a search the user
// asked for meanwhile, else the lyrics embedded in them, else what this run found and did
// not save, else LRCLIB's. The first that has any is all that is shown. The files are read
// at once; the tags on a worker thread, and LRCLIB is asked by the finder on the event loop,
// so what those give arrives later as linesFound() for the lyric line store.
//
// Nothing of it is made before the first track is looked at further or the user asks for
// lyrics, so a start-up that holds it back (holdBack()) reads no tags and makes no network
// objects before its window is on screen.
class OpenedTrack : public QObject {
    Q_OBJECT
public:
    explicit OpenedTrack(LyricSourceServices services, QObject* parent = nullptr);
    ~OpenedTrack() override;

    // A track was opened (the same file again too): its lyric file's lines, none when it has
    // none. Whatever was under way for the previous track is dropped.
    QStringList open(const QString& mediaPath);

    // Until letGo(), a track opened gets its lyric file only: its tags are not read and
    // nothing is looked for. Start-up opens its first track before the window is on
    // screen, and holds the rest back so that none of it competes with the window.
    void holdBack();
    void letGo();

    QString mediaPath() const { return mediaPath_; }
    // The tags once read (without the cover's bytes), and the cover's file:// URL; a file
    // opened again keeps those of its last opening until they are read again.
    bool hasTags() const { return hasTags_; }
    const MediaTags& tags() const { return tags_; }
    // The title the tags give, else the file's name without its extension; empty before the
    // first track.
    QString title() const;
    QString artUrl() const { return artUrl_; }

    // The user's word, from the lyrics menu.
    bool searchOnline();
    void setSearchOnline(bool on);
    void searchNow();
    void anotherCandidate();

    // For the lyrics search window, which works on any track, open or not.
    LyricFile::Places placesFor(const QString& mediaPath) const;
    std::unique_ptr<LyricSearch> newSearch() const;
    // Reads a track's tags apart from the open track's; then is called on this thread with
    // them, unless another track's were asked for meanwhile or the receiver is gone. No tag
    // reader: never called.
    void readTagsOf(const QString& mediaPath, QObject* receiver,
                    std::function<void(const MediaTags&)> then);
    // The user chose lyrics for the track: shown at once when it is the open one.
    void chosen(const QString& mediaPath, const QStringList& lines);

Q_SIGNALS:
    // A track was opened; what was said about the previous one no longer holds.
    void opened();
    // Lines for the lyric line store, replacing what it holds.
    void linesFound(const QStringList& lines);
    void tagsChanged();
    void notice(LyricFinder::Notice notice, const QString& text);
    void searchOnlineChanged(bool on);

private:
    // Returns the lines of the track's lyric file; the steps after it go on once the tags
    // are read.
    QStringList findLyrics();
    LyricFinder& finder();
    // Tells the finder of the track and reads its tags.
    void lookFurther();
    void tagsLoaded(quint64 opening, const QString& mediaPath, const MediaTags& tags,
                    const QString& artUrl);
    // The track as the finder is told of it with every call.
    LyricFinder::Opened handedOn() const;

    LyricSourceServices services_;
    std::unique_ptr<MediaTagLoader> tagLoader_;
    std::unique_ptr<MediaTagLoader> otherTagLoader_; // the search window's
    quint64 otherOpening_ = 0;
    QPointer<QObject> otherReceiver_;
    std::function<void(const MediaTags&)> otherThen_;
    std::unique_ptr<LyricFinder> finder_;
    QString mediaPath_;
    quint64 opening_ = 0; // counts open(), so that the finder tells a track opened again
    bool lyricFileFound_ = false;
    std::function<void()> afterTags_; // the lookup's steps that need the tags
    bool held_ = false;
    bool lookingHeld_ = false; // a track opened while held, not yet looked at further
    quint64 tagOpening_ = 0;   // the loader's opening of this track, 0 when none was asked
    QElapsedTimer sinceOpening_;
    bool hasTags_ = false;
    bool tagsRead_ = false; // this opening's, not those kept from the last one
    MediaTags tags_;
    QString artUrl_;
};
