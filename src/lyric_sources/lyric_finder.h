#pragma once

#include "lyric_sources/lrclib_lookup.h"
#include "lyric_sources/media_tags.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <vector>

// Finds lyrics for the track that is playing when no lyric file lies beside it: the lyrics
// embedded in its tags first, then LRCLIB, by itself only when the user turned the online
// search on, or whenever the user asks. What it finds goes out as lines for the lyric line
// store; LRCLIB's lyrics are also saved as a lyric file (saved_lyrics.h) so the next play
// needs no network. A lyric file of the user's is never written over.
//
// Everything slow happens elsewhere: the network on the event loop, files on a worker
// thread. A new track cancels whatever was under way for the previous one, and nothing of
// that one is signalled after it.
class LyricFinder : public QObject {
    Q_OBJECT
public:
    // Short texts for the user, each said once when it happens.
    enum class Notice {
        Searching,        // a search has started
        Found,            // timed lyrics found and saved
        FoundUntimed,     // only lyrics without times exist; saved
        FoundUnsaved,     // found and shown, but a lyric file of the user's is in the way,
                          // or no place could be written
        NotFound,         // nothing fits the track
        NoOtherCandidate, // "another candidate", and there is none
        Instrumental,     // LRCLIB knows the track as instrumental
        Offline,          // the server could not be reached
        TimedOut,         // the server did not answer in time
        ServerError,      // the server answered with an error or something unreadable
    };
    Q_ENUM(Notice)
    static QString noticeText(Notice notice);

    struct Options {
        QString settingsFile;     // see online_lyrics_setting.h
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
    // The tags of the track opened last (others are passed over): its embedded lyrics, or a
    // search when the online search is on and it has no lyrics at all.
    void tagsRead(const QString& mediaPath, const MediaTags& tags);

    // The user's word: search LRCLIB for this track now, whatever the setting.
    void searchNow();
    // The user's word: the lyrics shown are wrong; show and save the next candidate.
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
    void startSearch(int wanted);
    void ask();
    // The lookup, made when first needed; null when none can be made.
    LrclibLookup* lookup();
    void cancelRequest();
    void answered(const LrclibLookup::Answer& answer);
    // Shows the candidate at wanted_ when there is one, else says why not.
    void showWanted(bool instrumentalSeen);
    void say(Notice notice);
    Lrclib::Track track() const;

    Options options_;
    std::unique_ptr<LrclibLookup> lookup_;
    bool searchOnline_ = false;

    // The track opened last.
    quint64 opening_ = 0;
    QString mediaPath_;
    bool lyricFileFound_ = false;
    std::optional<MediaTags> tags_;
    bool hasLines_ = false;
    bool searchWhenTagged_ = false;

    // LRCLIB's records for the track that have lyrics, in the order they are offered.
    std::vector<Lrclib::Record> candidates_;
    int shown_ = -1; // the candidate shown, -1 for none
    int wanted_ = 0; // the candidate the search under way is for
    bool lookingUp_ = false;
    bool searched_ = false;

    // Lyric files are written here, one at a time.
    QThreadPool files_;
};
