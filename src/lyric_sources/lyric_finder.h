#pragma once

#include "lyric_sources/lrclib_lookup.h"
#include "lyric_sources/media_tags.h"
#include "lyric_sources/search_memory.h"
#include "lyrics/lyric_file.h"

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
// that one is signalled after it. The track itself is not the finder's: each call is handed
// it (Opened), and a call about an opening other than the last one told does nothing.
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
    // Why a request ended without an answer to read: none when LRCLIB answered.
    static std::optional<Notice> failureOf(LrclibLookup::Status status);

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

    // The track a call is about. OpenedTrack keeps it and hands it over with every call; the
    // finder keeps only what a search under way needs once the call that began it returns.
    struct Opened {
        quint64 opening = 0; // a call about an opening the finder was not told of does nothing
        QString mediaPath;
        bool lyricFileFound = false;     // beside it or in the user's lyrics folder
        const MediaTags* tags = nullptr; // this opening's, once read
    };

    // A track was opened: cancels the previous one's search; nothing is looked for until its
    // tags arrive.
    void trackOpened(quint64 opening);
    // The track's tags have arrived: a search the user asked for while they were being read
    // runs now, and its answer takes the place of whatever else the track has. False when
    // none waited.
    bool askWaiting(const Opened& track);
    // Lines found elsewhere for the tagged track (its embedded lyrics): shown, and turning the
    // online search on no longer searches for it.
    void showLines(const QStringList& lines);
    // When the online search is on: what this run found for the tagged track and did not
    // save, shown again without asking. False when there is none.
    bool showRemembered(const Opened& track);
    // When the online search is on: LRCLIB's, unless this run already knows how it ends.
    void searchByItself(const Opened& track);

    // The user's word: search LRCLIB for this track now, whatever the setting.
    void searchNow(const Opened& track);
    // The user's word: the lyrics shown are wrong; show and save the next timed candidate,
    // the first one again after the last.
    void anotherCandidate(const Opened& track);

    bool searchOnline() const { return searchOnline_; }
    // Turns the online search on or off and writes the settings file. Turned on while the
    // track has no lyrics, it searches at once.
    void setSearchOnline(bool on, const Opened& track);

    bool busy() const { return lookup_ && lookup_->busy(); }

Q_SIGNALS:
    // Lines for the lyric line store, replacing what it holds.
    void linesFound(const QStringList& lines);
    void notice(LyricFinder::Notice notice, const QString& text);
    void searchOnlineChanged(bool on);

private:
    enum class Request { ByItself, Now, Another };

    // What a search, or a candidate shown, needs of the track after the call that began it.
    struct Target {
        quint64 opening = 0;
        QString key; // in the memory
        Lrclib::Track lookupQuery;
        Lrclib::Track searchQuery; // should the exact lookup not do
        LyricFile::Places places;  // where what is found is saved
        // Offered first while none was shown: a lyric file found on opening is most likely
        // the first candidate, saved by an earlier run.
        int firstOffered = 0;
    };

    // The track's tags, when the call is about the track opened last.
    const MediaTags* tagsOf(const Opened& track) const;
    Target targetOf(const Opened& track) const;
    static Lrclib::Track query(const Opened& track, bool forLookup);
    void startSearch(Request request, const Opened& track);
    void ask(const Opened& track);
    // The lookup, made when first needed; null when none can be made.
    LrclibLookup* lookup();
    void cancelRequest();
    void answered(const LrclibLookup::Answer& answer);
    SearchMemory::Track& remembered();
    int nextCandidate(const SearchMemory::Track& track) const;
    // Shows the candidate `wanted` of the list, the first after the last, or says why not.
    void offer(int wanted);
    void show(int index, bool wrapped);
    void say(Notice notice);

    Options options_;
    std::unique_ptr<LrclibLookup> lookup_;
    bool searchOnline_ = false;
    SearchMemory memory_;
    QElapsedTimer clock_;

    quint64 opening_ = 0; // the track opened last
    bool linesShown_ = false;
    bool waiting_ = false; // a search the user asked for waits for the tags

    // The request under way, or the candidate shown last.
    Request request_ = Request::ByItself;
    Target target_;
    std::vector<SearchMemory::Candidate> gathered_; // timed candidates so far
    bool lookingUp_ = false;
    bool plainSeen_ = false;
    bool instrumentalSeen_ = false;

    // Lyric files are written here, one at a time.
    QThreadPool files_;
};
