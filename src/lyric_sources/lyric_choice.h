#pragma once

#include "lyric_sources/lrclib_protocol.h"
#include "lyric_sources/media_tags.h"
#include "lyric_sources/saved_lyrics.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What the lyrics search window decides, apart from the window: the words it searches with,
// the order of the results, a result's preview, which lyrics a track uses now, and whether a
// choice may be saved.
namespace LyricChoice {

// The window's search words.
struct Fields {
    QString title;
    QString artist;
    QString album;
};
// From the tags when they name a title; else from the file name as the search by itself
// reads it ("Artist - Title", else the whole name as the title).
Fields fieldsFor(const MediaTags* tags, const QString& mediaPath);
// The search LRCLIB is asked: the words without the spaces around them, and no length, so
// that results of every length are listed.
Lrclib::Track queryFrom(const Fields& fields);

enum class Kind { Timed, Plain, Instrumental };
QString kindText(Kind kind); // 同步, 纯文本, 纯音乐

struct Result {
    Lrclib::Record record;
    Kind kind = Kind::Plain;
    QStringList lines; // within the lyric file's bounds; none for an instrumental track
};
// Timed results first, then plain, then instrumental; within each the closest in length to
// the track's first (those without a length last), ties in the answer's order. Records with
// no lyrics at all are left out.
std::vector<Result> ordered(std::vector<Lrclib::Record> records,
                            std::optional<qint64> trackDurationMs);

// A result as the lyric would show it: each timed line as its time and its text; plain
// lyrics line by line.
QStringList preview(const Result& result);

// "m:ss"; empty without a length.
QString lengthText(std::optional<qint64> milliseconds);

// Which lyrics the track shows, by the lookup's order: a lyric file beside the media, else
// in the user's lyrics folder, else the tags' lyrics.
enum class InUse { None, Tags, Found, Chosen, UsersFile };
InUse inUse(SavedLyrics::FileKind beside, SavedLyrics::FileKind inUserFolder, bool tagLyrics);
QString inUseText(InUse inUse);

// A file of the user's own in either place would be replaced or hidden by a choice saved
// beside the media or in the user's folder: it wins, and nothing is saved.
bool usersFileWins(SavedLyrics::FileKind beside, SavedLyrics::FileKind inUserFolder);

} // namespace LyricChoice
