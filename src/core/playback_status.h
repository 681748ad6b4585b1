#pragma once

#include "base/coalesced_call.h"
#include "lyrics/playback_tick.h"

#include <QObject>
#include <QString>
#include <functional>

class LyricLines;
class MediaEngine;
class QTimer;

// The captions the playback tick writes, each a property with a change signal, and the tick
// itself with its timer `Timer1`.
//
// What the tick shows depends only on the engine, the lyric lines, the captions it wrote
// itself and what the desktop lyric was last given; it learns nothing new from running while
// none of them changes. So it runs once for each change (several changes within one pass of
// the event loop cost one tick) and, while the position runs, when it reaches its next whole
// second. An idle or paused player is not woken at all.
class PlaybackStatus : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString time READ time NOTIFY timeChanged)
    Q_PROPERTY(QString lyric READ lyric NOTIFY lyricChanged)
    Q_PROPERTY(QString nextLineTag READ nextLineTag NOTIFY nextLineTagChanged)
    Q_PROPERTY(QString currentTag READ currentTag NOTIFY currentTagChanged)
public:
    // drawLyric hands a line to the desktop lyric while the status reads "playing".
    PlaybackStatus(MediaEngine& engine, LyricLines& lines,
                   std::function<void(const QString&)> drawLyric, QObject* parent = nullptr);

    QString status() const { return labels_.status; }           // Label3
    QString time() const { return labels_.time; }               // Label5
    QString lyric() const { return labels_.lyric; }             // Label2
    QString nextLineTag() const { return labels_.nextLineTag; } // Label4
    QString currentTag() const { return labels_.currentTag; }   // Label6

    // Runs the tick once the event loop comes round, however often it is asked meanwhile.
    void requestTick();
    // One tick, now: what Timer1 runs.
    void timer1Tick();

    // Armed single-shot for the moment the position reaches its next second.
    QTimer* Timer1;

Q_SIGNALS:
    void statusChanged(const QString& text);
    void timeChanged(const QString& text);
    void lyricChanged(const QString& text);
    void nextLineTagChanged(const QString& text);
    void currentTagChanged(const QString& text);

private:
    void show(const PlaybackTick::Labels& labels);

    MediaEngine& engine_;
    LyricLines& lines_;
    std::function<void(const QString&)> drawLyric_;
    PlaybackTick::Labels labels_;
    CoalescedCall tick_;
};
