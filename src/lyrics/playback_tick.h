#pragma once

#include <QString>
#include <functional>
#include <optional>

class LyricLineIndex;
class MediaEngine;

// The playback tick: every 10 ms it shows the play state, the time, and the lyric line of
// the current second. It keeps no state of its own; the labels carry everything over.
namespace PlaybackTick {

inline constexpr auto PlayingStatus = u"正在播放";

// The captions the tick writes, as they stand before and after a tick.
struct Labels {
    QString status;      // Label3
    QString time;        // Label5: position "/" duration
    QString lyric;       // Label2: text of the current line
    QString nextLineTag; // Label4: first tag of the line after the current one
    QString currentTag;  // Label6: first tag of the current line
};

// The status caption of a play state; empty for states that leave the caption as it is.
std::optional<QString> statusText(int playState);

// One tick. Each line that holds the position text ("mm:ss") is current: its text and
// tags overwrite the labels in store order, so the last matching line wins, and while the
// status reads "playing" each matching line's text is handed to drawLyric. A first tag
// that is missing (no "]", or "]" before "[") leaves its label as it is.
void run(const MediaEngine& engine, const LyricLineIndex& lines, Labels& labels,
         const std::function<void(const QString&)>& drawLyric);

} // namespace PlaybackTick
