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
//
// Lyrics the user chose in the search window are saved the same way under a header of
// their own: a search by itself, or another candidate, never writes over them; only another
// choice does.
namespace SavedLyrics {

inline constexpr QStringView HeaderLine = u"[re:Vellora LRCLIB]";
inline constexpr QStringView ChosenHeaderLine = u"[re:Vellora chosen]";

// Whose the lyrics are: found by the program itself, or chosen by the user.
enum class Mark { Found, Chosen };

// What a lyric file place holds, looked at without following a link.
enum class FileKind {
    None,   // nothing
    Users,  // a lyric file of the user's own (or a link, or anything not a plain file)
    Found,  // lyrics the program found by itself
    Chosen, // lyrics the user chose
};
FileKind kindAt(const QString& path);

// $XDG_DATA_HOME/vellora/lyrics, or ~/.local/share/vellora/lyrics when that variable is
// unset or not an absolute path.
QString userFolder(const QString& xdgDataHome, const QString& home);

// The folder above for this process's environment.
QString defaultUserFolder();

// Whether a file the program wrote is at the path (its first line is one of its headers).
bool isOwnFile(const QString& path);

// Removes the file at the path when the program wrote it; false otherwise, or when it could
// not be removed.
bool removeOwnFile(const QString& path);

enum class Outcome {
    Saved,        // written beside the media or in the user's folder
    UserFileKept, // a lyric file of the user's, or lyrics the user chose where found ones
                  // would go; nothing written
    Failed,       // neither place could be written
};

struct Result {
    Outcome outcome = Outcome::Failed;
    QString path; // where it was written
};

// Writes the lines, after the mark's header line, CR LF ends, UTF-8, at the first of the
// media's lyric file places that can take them: beside the media when its folder is
// writable, else in the user's folder (made when missing). Replaces only a file of the
// program's own, and found lyrics only what it found itself. Touches the disk.
Result save(const LyricFile::Places& places, const QStringList& lines, Mark mark = Mark::Found);

} // namespace SavedLyrics
