#pragma once

#include "lyrics/lyric_file.h"

#include <QString>
#include <QStringList>

// Lyric files the program writes itself, with lyrics it found for a track. They go where
// the lyric file rule looks (lyrics/lyric_file.h) when the media's folder can be written,
// so the next play finds them offline through the ordinary loader; otherwise into the
// user's lyrics folder, where the loader looks second. Such a file starts with a header
// line of its own (the tick ignores header lines), which marks it as the program's to
// replace; any other lyric file is the user's, and the program never writes over it.
namespace SavedLyrics {

inline constexpr QStringView HeaderLine = u"[re:Vellora LRCLIB]";

// $XDG_DATA_HOME/vellora/lyrics, or ~/.local/share/vellora/lyrics when that variable is
// unset or not an absolute path.
QString userFolder(const QString& xdgDataHome, const QString& home);

// The folder above for this process's environment.
QString defaultUserFolder();

// Whether a file the program wrote is at the path (its first line is HeaderLine).
bool isOwnFile(const QString& path);

enum class Outcome {
    Saved,        // written beside the media or in the user's folder
    UserFileKept, // a lyric file of the user's is where the lyrics would go; nothing written
    Failed,       // neither place could be written
};

struct Result {
    Outcome outcome = Outcome::Failed;
    QString path; // where it was written
};

// Writes the lines, after HeaderLine, CR LF ends, UTF-8, at the first of the media's lyric
// file places that can take them: beside the media when its folder is writable, else in the
// user's folder (made when missing). Replaces only a file of the program's own. Touches the
// disk.
Result save(const LyricFile::Places& places, const QStringList& lines);

} // namespace SavedLyrics
