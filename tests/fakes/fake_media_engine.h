#pragma once

#include "player/media_engine.h"

#include <QStringList>

// An engine that plays nothing: it records what it is told and reports what the test sets.
class FakeMediaEngine : public MediaEngine {
public:
    void setURL(const QString& path) override {
        calls << QStringLiteral("URL=") + path;
        url = path;
    }
    int volume() const override { return volume_; }
    void setVolume(int v) override {
        volume_ = v < 0 ? 0 : (v > 100 ? 100 : v);
        calls << QStringLiteral("volume=%1").arg(volume_);
    }
    void play() override { calls << QStringLiteral("play"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void stop() override { calls << QStringLiteral("stop"); }
    std::optional<QString> currentPositionString() const override { return position; }
    std::optional<QString> durationString() const override { return duration; }
    int playState() const override { return state; }
    std::optional<MediaClock> clock() const override { return mediaClock; }
    void shutdown() override { calls << QStringLiteral("shutdown"); }

    // Ends the current media the way a real engine does: state first, then the signal.
    void finishMedia() {
        state = PlayState::MediaEnded;
        Q_EMIT endOfStream(0);
    }

    QStringList calls;
    QString url;
    std::optional<QString> position;
    std::optional<QString> duration;
    int state = PlayState::Undefined;
    std::optional<MediaClock> mediaClock;

private:
    int volume_ = 50;
};
