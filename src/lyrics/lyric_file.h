#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// LRC lyric files: they lie beside the media files under the same base name, or in the
// user's lyrics folder, and are kept as raw lines; the playback tick interprets the time tags
// as it scans them.
namespace LyricFile {

// The lyric line store, like the list box that shows it, holds at most this many lines.
inline constexpr int MaxLines = 32767;

// No real lyric file comes near this; a larger one (a binary file, say) is read only this
// far, so opening a track costs bounded memory and time.
inline constexpr qint64 MaxBytes = 8 * 1024 * 1024;

// The lyric file of a media file: same folder, the media file's name with its extension
// replaced by ".lrc" (".lrc" appended when it has none). Empty when the path names no
// file (empty, ending in a separator, or a name that is only an extension).
QString nameFor(const QString& mediaPath);

// The file in the user's lyrics folder for a media file: the lyric file's own name with a
// hash of the media's full path, so two "01 Intro.mp3" of two albums never share one.
// Empty when nameFor gives no name or there is no folder.
QString userFileFor(const QString& mediaPath, const QString& userFolder);

// Every place a media file's lyric file may lie, in the order they are looked at; an empty
// path is a place that does not exist.
struct Places {
    QString beside;
    QString inUserFolder;
};
Places placesFor(const QString& mediaPath, const QString& userFolder);

// The raw lines of the media file's lyric file, at most MaxLines from at most MaxBytes;
// empty when there is no such ordinary, visible file or it cannot be read.
QStringList loadLines(const QString& mediaPath);

// The raw lines of a lyric file, as loadLines reads them; none when there is no ordinary,
// visible file at the path. A file that is there but cannot be read gives no lines, yet it
// is there: it still stands in for any lyrics from elsewhere.
std::optional<QStringList> loadFile(const QString& lyricPath);

} // namespace LyricFile
