#pragma once

#include "core/desktop_lyric_switch.h"
#include "core/exit_sequence.h"
#include "core/lyric_lines.h"
#include "core/playback_status.h"
#include "core/playlist_controller.h"
#include "lyric_sources/opened_track.h"
#include "player/play_mode.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class DesktopLauncher;
class DesktopLyric;
class FontInstallation;
class MediaEngine;
class QTimer;

// What the player core needs from the world outside it.
struct PlayerCoreServices {
    MediaEngine& engine;
    DesktopLauncher& launcher;
    FontInstallation& fonts;
    DesktopLyric& desktopLyric;
    QString programFolder;            // holds data.dat (the user's data folder when installed)
    QString currentDirectory;         // where the shipped lyric font is looked for
    std::function<void()> endProcess; // leaves the event loop without closing anything
    LyricSourceServices lyricSources = {};
};

// Plays the media: transport, the media opened last (the current path) with its lyric
// lines, the deferred play of the selected entry (Timer3) and what follows the end of a
// track. The rest of the player are parts it makes and hands out: the playlist, the tick's
// captions, the track's lyric sources, the desktop lyric switch and the exit. Every piece of
// state is a property with a change signal; the windows show them and turn the user's
// actions into calls here or on a part.
class PlayerCore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString currentPath READ currentPath NOTIFY currentPathChanged)
    Q_PROPERTY(PlayMode playMode READ playMode WRITE setPlayMode NOTIFY playModeChanged)
public:
    explicit PlayerCore(PlayerCoreServices services, QObject* parent = nullptr);
    ~PlayerCore() override;

    // Start-up: engine volume, component clean-up, the lyric font, the playlist from data.dat,
    // and the first entry played through the deferred play.
    void load();

    PlaylistController& playlist() { return playlist_; }
    const PlaylistController& playlist() const { return playlist_; }
    LyricLines& lyricLines() { return lyricLines_; }
    // Tags of the track opened last, and the lyrics found for it other than its lyric file.
    OpenedTrack& openedTrack() { return openedTrack_; }
    PlaybackStatus& status() { return status_; }
    DesktopLyricSwitch& lyricSwitch() { return lyricSwitch_; }
    ExitSequence& exit() { return exit_; }

    QString currentPath() const { return currentPath_; } // the media last opened (Text1)
    PlayMode playMode() const { return playMode_; }

    // The engine's times as the tick shows them; empty without a current media.
    std::optional<QString> positionText() const;
    std::optional<QString> durationText() const;

public Q_SLOTS:
    void setPlayMode(PlayMode mode);
    void setCurrentPath(const QString& path);

    void play();
    void pause();
    void stop();
    // Pauses while playing, else plays: one key or media button for both.
    void playOrPause();
    // Moves within the current media, to milliseconds or by a delta from where it is,
    // clamped to it; nothing where the engine cannot seek.
    void seekTo(qint64 milliseconds);
    void seekBy(qint64 deltaMilliseconds);
    // 0 to 100.
    void setVolume(int volume);
    // Opens the media last opened again, or the design's sample path before any.
    void replay();
    // Opens the selected entry (nothing selected: the empty path).
    void playSelectedEntry();

    // The deferred play's tick, callable so that tests can step it.
    void timer3Tick();

Q_SIGNALS:
    void currentPathChanged(const QString& path);
    void playModeChanged(PlayMode mode);
    // A media was opened (the current path and the lyric lines describe it now).
    void mediaOpened();
    // Something to tell the user in a message box, from the core or any of its parts: a
    // title and a text.
    void message(const QString& title, const QString& text);

private:
    void openMedia(const QString& path);
    void showLyricLines(const QStringList& lines);
    void mediaEnded();
    void drawLyric(const QString& text);

    PlayerCoreServices services_;
    // The parts are the core's children, so that a test finds their timers by name.
    PlaylistController playlist_;
    LyricLines lyricLines_;
    OpenedTrack openedTrack_;
    PlaybackStatus status_;
    DesktopLyricSwitch lyricSwitch_;
    ExitSequence exit_;
    QTimer* Timer3; // one-shot deferred play of the selected entry
    QString currentPath_;
    PlayMode playMode_ = PlayMode::Advance;
};
