#pragma once

#include "lyric_sources/lrclib_lookup.h"
#include "lyric_sources/media_tags.h"
#include "lyric_sources/search_memory.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <vector>

// LRCLIB's part in finding a track's lyrics (the order of all the sources is
// OpenedTrack::findLyrics): asked by itself only when the user turned the online search on,
// or whenever the user asks. Only timed lyrics are taken: they go out as lines for the lyric
// line store and are saved as a lyric file (saved_lyrics.h) so the next play needs no
// network. A lyric file of the user's is never written over. What a search found, or that it
// found nothing usable, is kept for the run (search_memory.h).
//
// Everything slow happens elsewhere: the network on the event loop, files on a worker
// thread. A new track cancels whatever was under way for the previous one, and nothing of
// that one is signalled after it.
class LyricFinder : public QObject {
    Q_OBJECT
public:
    // Short texts for the user, each said once when it happens.
    enum class Notice {
        Searching,           // a search has started
        Found,               // timed lyrics found and saved
        FirstCandidateAgain, // "another candidate" went past the last one to the first
        FoundUnsaved,        // found and shown, but a lyric file of the user's is in the way,
                             // or no place could be written
        NotFound,            // nothing fits the track
        PlainOnly,           // only lyrics without times exist; neither shown nor saved
        NoOtherCandidate,    // "another candidate", and there is none
        Instrumental,        // LRCLIB knows the track as instrumental
        Offline,             // the server could not be reached
        TimedOut,            // the server did not answer in time
        ServerError,         // the server answered with an error or something unreadable
    };
    Q_ENUM(Notice)
    static QString noticeText(Notice notice);

    struct Options {
        QString settingsFile;     // vellora.conf; see settings/program_settings.h
        QString userLyricsFolder; // see saved_lyrics.h
        LrclibLookup::Options lrclib;
        // Made on the first request; without one, every search ends as Offline.
        LrclibLookupFactory lookups;
    };

    // Reads whether the online search is on from the settings file.
    explicit LyricFinder(Options options, QObject* parent = nullptr);
    // Waits for a lyric file being saved.
    ~LyricFinder() override;

    // A track was opened: forgets the previous one and cancels its search. lyricFileFound
    // says whether the lyric file loader found a file for it (beside it or in the user's
    // lyrics folder); nothing is looked for until its tags arrive.
    void trackOpened(const QString& mediaPath, bool lyricFileFound);
    // The tags of the track opened last (others are passed over). False when they are passed
    // over, or when a search the user asked for waited for them: it runs now, and its answer
    // takes the place of whatever else the track has.
    bool tagsRead(const QString& mediaPath, const MediaTags& tags);
    // Lines found elsewhere for the tagged track (its embedded lyrics): shown, and turning the
    // online search on no longer searches for it.
    void showLines(const QStringList& lines);
    // The tagged track has no lyrics of its own: what this run found for it and did not save,
    // else LRCLIB's, when the online search is on.
    void searchByItself();

    // The user's word: search LRCLIB for this track now, whatever the setting.
    void searchNow();
    // The user's word: the lyrics shown are wrong; show and save the next timed candidate,
    // the first one again after the last.
    void anotherCandidate();

    bool searchOnline() const { return searchOnline_; }
    // Turns the online search on or off and writes the settings file. Turned on while the
    // track has no lyrics, it searches at once.
    void setSearchOnline(bool on);

    bool busy() const { return lookup_ && lookup_->busy(); }

Q_SIGNALS:
    // Lines for the lyric line store, replacing what it holds.
    void linesFound(const QStringList& lines);
    void notice(LyricFinder::Notice notice, const QString& text);
    void searchOnlineChanged(bool on);

private:
    enum class Request { ByItself, Now, Another };

    void startSearch(Request request);
    void ask();
    // The lookup, made when first needed; null when none can be made.
    LrclibLookup* lookup();
    void cancelRequest();
    void answered(const LrclibLookup::Answer& answer);
    // The track's memory, or null before its tags are read.
    SearchMemory::Track* remembered();
    int nextCandidate(const SearchMemory::Track& track) const;
    // Shows the candidate `wanted` of the list, the first after the last, or says why not.
    void offer(int wanted);
    void show(int index, bool wrapped);
    void say(Notice notice);
    Lrclib::Track track(bool forLookup) const;

    Options options_;
    std::unique_ptr<LrclibLookup> lookup_;
    bool searchOnline_ = false;
    SearchMemory memory_;
    QElapsedTimer clock_;

    // The track opened last.
    quint64 opening_ = 0;
    QString mediaPath_;
    bool lyricFileFound_ = false;
    std::optional<MediaTags> tags_;
    QString key_; // in the memory, once the tags are read
    bool hasLines_ = false;
    bool searchWhenTagged_ = false;

    // The request under way.
    Request request_ = Request::ByItself;
    std::vector<SearchMemory::Candidate> gathered_; // timed candidates so far
    bool lookingUp_ = false;
    bool plainSeen_ = false;
    bool instrumentalSeen_ = false;

    // Lyric files are written here, one at a time.
    QThreadPool files_;
};
