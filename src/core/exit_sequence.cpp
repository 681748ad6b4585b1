#include "core/exit_sequence.h"

#include "core/designed_timer.h"
#include "core/playlist_controller.h"
#include "player/exit_fade.h"
#include "player/media_engine.h"

#include <QCoreApplication>
#include <QDir>

ExitSequence::ExitSequence(MediaEngine& engine, const PlaylistController& playlist,
                           std::function<void()> endProcess, QObject* parent)
    : QObject(parent), engine_(engine), playlist_(playlist), endProcess_(std::move(endProcess)),
      // The fade ticks on the coarse period the design's platform gave every timer, whatever
      // interval was asked for; at a finer one the fade would end before the window could
      // show a step of it.
      Timer4(DesignedTimer::make(this, "Timer4", ExitFade::TimerPeriodMs)),
      fadeLevel_(ExitFade::StartLevel) {
    connect(Timer4, &QTimer::timeout, this, &ExitSequence::timer4Tick);
}

void ExitSequence::requestClose() {
    // A failed write keeps the previous file; the fade and the end come all the same.
    if (!playlist_.save() && !toldSaveFailure_) {
        toldSaveFailure_ = true;
        Q_EMIT message(QCoreApplication::applicationName(),
                       QStringLiteral("播放列表未能保存到 %1，本次对播放列表的更改不会保留。")
                           .arg(QDir::toNativeSeparators(playlist_.filePath())));
    }
    DesignedTimer::enable(Timer4);
    Q_EMIT closing();
}

void ExitSequence::timer4Tick() {
    if (ExitFade::isDone(engine_.volume(), fadeLevel_)) {
        Timer4->stop();
        Q_EMIT finishing();
        engine_.shutdown();
        endProcess_();
        return;
    }
    engine_.setVolume(ExitFade::nextVolume(engine_.volume()));
    setFadeLevel(ExitFade::nextLevel(fadeLevel_));
}

void ExitSequence::setFadeLevel(int level) {
    if (level == fadeLevel_)
        return;
    fadeLevel_ = level;
    Q_EMIT fadeLevelChanged(level);
}
