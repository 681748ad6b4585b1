#include "core/playback_status.h"

#include "core/lyric_lines.h"

#include <QTimer>

PlaybackStatus::PlaybackStatus(MediaEngine& engine, LyricLines& lines,
                               std::function<void(const QString&)> drawLyric, QObject* parent)
    : QObject(parent), Timer1(new QTimer(this)), engine_(engine), lines_(lines),
      drawLyric_(std::move(drawLyric)),
      // The captions the window was designed with, until the first tick replaces them.
      labels_{QStringLiteral("Label3"), QStringLiteral("Label5"), QString(),
              QStringLiteral("Label4"), QStringLiteral("Label6")},
      tick_(this, [this] { timer1Tick(); }) {
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &PlaybackStatus::timer1Tick);
    connect(&engine_, &MediaEngine::playStateChanged, this, &PlaybackStatus::requestTick);
    connect(&engine_, &MediaEngine::mediaChanged, this, &PlaybackStatus::requestTick);
    connect(&engine_, &MediaEngine::durationChanged, this, &PlaybackStatus::requestTick);
    connect(&engine_, &MediaEngine::positionChanged, this, &PlaybackStatus::requestTick);
}

void PlaybackStatus::requestTick() {
    tick_.request();
}

void PlaybackStatus::timer1Tick() {
    const PlaybackTick::Reading reading = PlaybackTick::Reading::of(engine_);
    PlaybackTick::Labels labels = labels_;
    const int row = PlaybackTick::run(reading, lines_.lineIndex(), labels, drawLyric_);
    if (row >= 0)
        lines_.setCurrentRow(row);
    show(labels);
    if (const auto delay = PlaybackTick::untilNextSecond(reading)) {
        Timer1->start(*delay);
    } else {
        Timer1->stop();
    }
}

void PlaybackStatus::show(const PlaybackTick::Labels& labels) {
    const auto update = [](QString& caption, const QString& text, auto changed, auto* self) {
        if (caption == text)
            return;
        caption = text;
        Q_EMIT(self->*changed)(text);
    };
    update(labels_.status, labels.status, &PlaybackStatus::statusChanged, this);
    update(labels_.time, labels.time, &PlaybackStatus::timeChanged, this);
    update(labels_.lyric, labels.lyric, &PlaybackStatus::lyricChanged, this);
    update(labels_.nextLineTag, labels.nextLineTag, &PlaybackStatus::nextLineTagChanged, this);
    update(labels_.currentTag, labels.currentTag, &PlaybackStatus::currentTagChanged, this);
}
