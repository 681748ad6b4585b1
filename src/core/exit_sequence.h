#pragma once

#include <QObject>
#include <functional>

class MediaEngine;
class PlaylistController;
class QTimer;

// The close: the playlist is saved (a failure told once), then the fade lowers the volume
// and the main window's fade level on Timer4 until the engine is shut down and the program
// ends.
class ExitSequence : public QObject {
    Q_OBJECT
    Q_PROPERTY(int fadeLevel READ fadeLevel NOTIFY fadeLevelChanged)
public:
    // endProcess leaves the event loop without closing anything.
    ExitSequence(MediaEngine& engine, const PlaylistController& playlist,
                 std::function<void()> endProcess, QObject* parent = nullptr);

    int fadeLevel() const { return fadeLevel_; } // the main window's opacity, 0..255

public Q_SLOTS:
    // Saves the playlist and fades out; the program ends when the fade is done.
    void requestClose();
    // The fade's tick, callable so that tests can step it.
    void timer4Tick();

Q_SIGNALS:
    void fadeLevelChanged(int level);
    // The close was asked for and the playlist written: the fade begins.
    void closing();
    // The fade is done; every timer of the player stops on this, and the program ends right
    // after it.
    void finishing();
    // Something to tell the user in a message box: a title and a text.
    void message(const QString& title, const QString& text);

private:
    void setFadeLevel(int level);

    MediaEngine& engine_;
    const PlaylistController& playlist_;
    std::function<void()> endProcess_;
    QTimer* Timer4; // the fade: volume and fade level, then the end
    int fadeLevel_;
    bool toldSaveFailure_ = false;
};
