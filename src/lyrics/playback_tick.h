#pragma once

#include "player/media_engine.h"

#include <QString>
#include <functional>
#include <optional>

class LyricLineIndex;

// The playback tick: it shows the play state, the time, and the lyric line of the current
// second. It keeps no state of its own; the labels carry everything over.
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

// What one tick knows of the engine, read once: every text the tick shows, and when it should
// next run, come from this one reading, so they cannot disagree about the second.
struct Reading {
    PlayState state = PlayState::Undefined;
    bool hasMedia = false;
    qint64 position = 0; // ms
    qint64 duration = 0; // ms
    double rate = 0;

    static Reading of(const MediaEngine& engine);
};

// "mm:ss" of a time in milliseconds: whole minutes and seconds of two digits at least,
// minutes counting on past the hour ("75:03"). The engine's position and duration are
// shown this way, and the lyric lines' tags are matched against it.
QString timeText(qint64 milliseconds);

// The status caption of a play state; empty for states that leave the caption as it is.
std::optional<QString> statusText(PlayState state);

// One tick: the status caption, then, with a current media, the time and the lines of its
// position text (showLines). Returns the row of the line the lyric label now shows, or -1
// when no line matched.
int run(const Reading& reading, const LyricLineIndex& lines, Labels& labels,
        const std::function<void(const QString&)>& drawLyric);

// Each line that holds the position text is current: its text and tags overwrite the labels
// in store order, so the last matching line wins, and while the status reads "playing" each
// matching line's text is handed to drawLyric. A first tag that is missing (no "]", or "]"
// before "[") leaves its label as it is. An empty text is held by every line.
int showLines(const QString& positionText, const LyricLineIndex& lines, Labels& labels,
              const std::function<void(const QString&)>& drawLyric);

// Milliseconds from the reading until its position reaches its next whole second, rounded up
// so that a tick then reads the new second; empty while the position stands still. Everything
// the tick shows changes only then or when the engine reports a change.
std::optional<int> untilNextSecond(const Reading& reading);

} // namespace PlaybackTick
