#pragma once

#include "player/media_engine.h"

#include <QStringList>

// An engine that plays nothing: it records what it is told and reports what the test sets.
// Its position runs on the test's clock (`now`), from where place() put it, at the rate
// given there; nothing is announced until the test says so.
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
    void shutdown() override { calls << QStringLiteral("shutdown"); }

    PlayState playState() const override { return state; }
    bool hasMedia() const override { return media; }
    // Each read lets readDelay pass on the test's clock, as real reads take time.
    qint64 position() const override {
        const qint64 position = positionAt(now);
        now += readDelay;
        return position;
    }
    double rate() const override { return rate_; }
    qint64 duration() const override { return length; }
    bool canSeek() const override { return seekable; }
    void seek(qint64 milliseconds) override {
        calls << QStringLiteral("seek=%1").arg(milliseconds);
        place(milliseconds, rate_);
        Q_EMIT positionChanged(milliseconds);
    }

    // A current media at position, running at rate from now on.
    void place(qint64 position, double rate = 0) {
        media = true;
        anchor_ = position;
        anchorTime_ = now;
        rate_ = rate;
    }
    qint64 positionAt(qint64 time) const {
        return anchor_ + qint64(double(time - anchorTime_) * rate_ + 0.5);
    }

    // Tells everything, as an engine does after a change.
    void announce() {
        Q_EMIT mediaChanged();
        Q_EMIT playStateChanged(state);
        Q_EMIT durationChanged(length);
        Q_EMIT positionChanged(positionAt(now));
    }

    // Ends the current media the way a real engine does: state first, then the signal.
    void finishMedia() {
        state = PlayState::MediaEnded;
        rate_ = 0;
        Q_EMIT playStateChanged(state);
        Q_EMIT endOfStream(0);
    }

    QStringList calls;
    QString url;
    PlayState state = PlayState::Undefined;
    bool media = false;
    bool seekable = false;
    qint64 length = 0;      // ms
    mutable qint64 now = 0; // the test's clock, ms
    qint64 readDelay = 0;

private:
    int volume_ = 50;
    qint64 anchor_ = 0;
    qint64 anchorTime_ = 0;
    double rate_ = 0;
};
