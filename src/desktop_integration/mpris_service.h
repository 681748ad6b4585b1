#pragma once

#include "base/coalesced_call.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <optional>

class MediaEngine;
class PlayerCore;

// The player on the session bus, for media keys, panel applets and a second start: the
// object /org/mpris/MediaPlayer2 with the MPRIS root and player interfaces and the player's
// own files interface (mpris_adaptors.h). Every command goes to the player core, as the
// window's buttons do, and PropertiesChanged goes out once a pass of the event loop when the
// engine, the playlist, the opened media, its tags or its lyrics report a change and a value
// really differs from the one last told; nothing polls.
//
// Calls arrive at its adaptors, but the bus keeps the call's context on this object: an
// adaptor that refuses a call answers with an error through it.
class MprisService : public QObject, public QDBusContext {
    Q_OBJECT
public:
    // The engine is only read and listened to; raiseWindow brings the main window to the
    // front.
    MprisService(PlayerCore& core, const MediaEngine& engine, std::function<void()> raiseWindow,
                 QObject* parent = nullptr);

    // Exports the object and takes the player's bus name. False when there is no bus or
    // another player holds the name; the player then simply runs without.
    bool registerOn(const QDBusConnection& connection);

    PlayerCore& core() { return core_; }
    const MediaEngine& engine() const { return engine_; }
    void raiseWindow() { raiseWindow_(); }

    // Values of the player interface as they are now.
    QString playbackStatus() const;
    QVariantMap metadata();
    double volumeFraction() const;
    void setVolumeFraction(double volume);
    qlonglong positionMicroseconds() const;
    bool canPlay() const;
    bool canSeek() const;
    QString loopStatus() const;
    // The current track's id, as its metadata names it.
    QDBusObjectPath trackId();

    // Runs what may open a dialog or end the window after the bus has had its reply, so
    // a caller never waits on a message box or on the exit fade.
    void later(std::function<void()> work);

private:
    void newOpening();
    void detailsChanged();
    void requestRefresh();
    void refresh();

    PlayerCore& core_;
    const MediaEngine& engine_;
    std::function<void()> raiseWindow_;
    std::optional<QDBusConnection> connection_; // set once registered
    QVariantMap told_;                          // signalled values as last told
    CoalescedCall refresh_;

    // The opened media: a new opening is a new track, even of the same file.
    quint64 opening_ = 0;
    // Counts the track's tags arriving and its lyric lines being replaced.
    quint64 details_ = 0;
    // Metadata is rebuilt only when the opening, its details or the engine's length changed;
    // the lyrics make it too large to compare on every change of the play state.
    struct MetadataKey {
        quint64 opening;
        quint64 details;
        std::optional<qint64> length;
        bool operator==(const MetadataKey&) const = default;
    };
    std::optional<MetadataKey> metadataKey_;
    std::optional<MetadataKey> toldMetadataKey_;
    QVariantMap metadata_;
    QVariantMap toldMetadata_;
};
