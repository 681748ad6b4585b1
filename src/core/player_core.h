#pragma once

#include "core/lyric_lines.h"
#include "core/playback_status.h"
#include "core/playlist_model.h"
#include "lyric_sources/opened_track.h"
#include "player/play_mode.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class DesktopLauncher;
class DesktopLyric;
class FontInstallation;
class MediaEngine;
class QTimer;
struct PlaylistAddition;

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

// The player: the playlist and its current entry, transport, the play mode, the lyric lines
// and the tick that shows them, the desktop lyric switch, the click counter, and the close
// that saves the playlist and fades out. Every piece of state is a property with a change
// signal; the windows show them and turn the user's actions into calls here. Timer3 (the
// deferred play) and Timer4 (the exit fade) are its own; the tick's Timer1 is the status's.
class PlayerCore : public QObject {
    Q_OBJECT
    Q_PROPERTY(int currentRow READ currentRow WRITE select NOTIFY currentRowChanged)
    Q_PROPERTY(QString currentPath READ currentPath NOTIFY currentPathChanged)
    Q_PROPERTY(PlayMode playMode READ playMode WRITE setPlayMode NOTIFY playModeChanged)
    Q_PROPERTY(QString lyricFontFace READ lyricFontFace NOTIFY lyricFontFaceChanged)
    Q_PROPERTY(bool desktopLyricShown READ desktopLyricShown NOTIFY desktopLyricShownChanged)
    Q_PROPERTY(int fadeLevel READ fadeLevel NOTIFY fadeLevelChanged)
    Q_PROPERTY(int clickCount READ clickCount NOTIFY clickCountChanged)
public:
    explicit PlayerCore(PlayerCoreServices services, QObject* parent = nullptr);
    ~PlayerCore() override;

    // Start-up: engine volume, component clean-up, the lyric font, the playlist from data.dat,
    // and the first entry played through the deferred play.
    void load();

    PlaylistModel& playlist() { return playlist_; }
    const PlaylistModel& playlist() const { return playlist_; }
    LyricLines& lyricLines() { return lyricLines_; }
    // Tags of the track opened last, and the lyrics found for it other than its lyric file.
    OpenedTrack& openedTrack() { return openedTrack_; }
    PlaybackStatus& status() { return status_; }
    MediaEngine& engine() { return services_.engine; }
    QString playlistPath() const;

    int currentRow() const { return currentRow_; }       // -1 when no entry is selected
    QString currentPath() const { return currentPath_; } // the media last opened (Text1)
    PlayMode playMode() const { return playMode_; }
    QString lyricFontFace() const { return lyricFontFace_; }      // prepared at start-up (Text2)
    bool desktopLyricShown() const { return desktopLyricShown_; } // by the switch (Check1)
    int fadeLevel() const { return fadeLevel_; }   // the main window's opacity, 0..255
    int clickCount() const { return clickCount_; } // clicks on the window's background

    // The engine's times as the tick shows them; empty without a current media.
    std::optional<QString> positionText() const;
    std::optional<QString> durationText() const;

    bool canGoPrevious() const;
    bool canGoNext() const;

public Q_SLOTS:
    void select(int row);
    void setPlayMode(PlayMode mode);
    void setCurrentPath(const QString& path);

    void play();
    void pause();
    void stop();
    void previousEntry();
    void nextEntry();
    // Opens the media last opened again, or the design's sample path before any.
    void replay();
    // Opens the selected entry (nothing selected: the empty path).
    void playSelectedEntry();

    // The add buttons: the path is appended as it is (only a line break or a full list keeps
    // it out); a folder adds its MP3 files.
    void addFile(const QString& path);
    void addFolder(const QString& folder);
    void removeSelected();
    void clearPlaylist();

    // Files and folders from outside (command line, a second start, drops, the desktop's
    // media controls). Each must name an existing regular file or folder, not a device, pipe
    // or anything under /proc or /sys; what is refused is never stored. What joins then plays,
    // from its first entry. Returns the refusals, one line each; empty when all were taken.
    // What did not fit is told in one message.
    QStringList admitPaths(const QStringList& paths);
    // The same, with the refusals told in that one message too.
    void openPaths(const QStringList& paths);

    // The switch of the main window, and its button that opens the lyric in the calligraphic
    // face whatever was prepared.
    void switchDesktopLyric();
    void openDesktopLyric(const QString& fontName);

    // A click on the main window's background.
    void backgroundClicked();

    // Saves the playlist and fades out; the program ends when the fade is done.
    void requestClose();

    // The timers' ticks, callable so that tests can step them.
    void timer3Tick();
    void timer4Tick();

Q_SIGNALS:
    void currentRowChanged(int row);
    void currentPathChanged(const QString& path);
    void playModeChanged(PlayMode mode);
    void lyricFontFaceChanged(const QString& face);
    void desktopLyricShownChanged(bool shown);
    void fadeLevelChanged(int level);
    void clickCountChanged(int count);

    // A media was opened (the current path and the lyric lines describe it now).
    void mediaOpened();
    // The close was asked for and the playlist written: the fade begins.
    void closing();
    // The fade is done; the program ends right after this.
    void finishing();
    // Something to tell the user in a message box: a title and a text.
    void message(const QString& title, const QString& text);

public:
    QTimer* Timer3; // one-shot deferred play of the selected entry
    QTimer* Timer4; // exit fade: volume and fade level, then the end

private:
    void openMedia(const QString& path);
    void loadLyricLines(const QString& mediaPath);
    void showLyricLines(const QStringList& lines);
    int addToPlaylist(const QStringList& paths);
    // Appends what the addition accepts; its problem, with the text before it, is one message.
    int addToPlaylist(const PlaylistAddition& addition, const QString& before = {});
    QStringList admit(const QStringList& paths, bool tellRefusals);
    void stepTo(int row, bool play);
    void mediaEnded();
    void drawLyric(const QString& text);
    void setDesktopLyricShown(bool shown);
    void setFadeLevel(int level);
    void setClickCount(int count);

    PlayerCoreServices services_;
    PlaylistModel playlist_;
    LyricLines lyricLines_;
    OpenedTrack openedTrack_;
    PlaybackStatus status_;
    int currentRow_ = -1;
    QString currentPath_;
    PlayMode playMode_ = PlayMode::Advance;
    QString lyricFontFace_;
    bool desktopLyricShown_ = false;
    int fadeLevel_;
    int clickCount_ = 0;
    bool toldSaveFailure_ = false;
};
