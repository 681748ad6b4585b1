#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

// Lyrics that media files carry in their own tags, turned into the lines of a lyric file so
// that the playback tick, the labels and the desktop lyric use them unchanged. The same
// bounds hold as for a lyric file read from disk: at most LyricFile::MaxLines lines and
// LyricFile::MaxBytes bytes of them (counted as the UTF-8 file they would make, CR LF
// ends included); a line the byte bound would cut is left out whole.
namespace EmbeddedLyrics {

// One entry of synchronised lyrics: its text starts this many milliseconds into the track.
struct TimedText {
    std::uint32_t ms = 0;
    QString text;
};

// What a file's tags hold of lyrics, in the order it is tried: synchronised frames with
// millisecond stamps first, then the texts (unsynchronised lyrics frames, LYRICS,
// UNSYNCEDLYRICS, the MP4 lyrics item), each as it is stored.
struct Sources {
    std::vector<std::vector<TimedText>> synchronized;
    QStringList texts;
};

// "[mm:ss.xx]": minutes with at least two digits, counting on past 59 as the player's time
// texts do; the hundredths rounded down so the tag names the second the text starts in.
QString timeTag(std::uint32_t ms);

// The positions of the entries that can become lines: the earliest LyricFile::MaxLines
// by time (entries of one time in their order), in time order. Chosen without sorting the
// rest, which a hostile tag makes millions long.
std::vector<std::size_t> earliest(const std::vector<std::uint32_t>& times);

// Timed lines in time order (entries of one time keep their order). The tick shows a
// line's text on one label, so line breaks inside an entry become blanks, and the text is
// cut to what the labels could ever show.
QStringList fromSynchronized(const std::vector<TimedText>& entries);

// Whether a line starts with an LRC time tag ("[m:ss]" with any number of minute digits,
// any fraction), after leading blanks.
bool isTimedLine(QStringView line);

// The text's lines exactly as stored (CR, CR LF and LF end a line), within the bounds.
QStringList boundedLines(QStringView text);

// The text's lines as stored when it is LRC, that is when some line is timed; nothing for
// plain text, which is never dressed up with invented times.
QStringList fromLrcText(QStringView text);

// The first source, in order, that gives any lines.
QStringList linesOf(const Sources& sources);

} // namespace EmbeddedLyrics
