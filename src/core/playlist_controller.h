#pragma once

#include "core/playlist_model.h"

#include <QObject>
#include <QString>
#include <QStringList>

struct PlaylistAddition;

// The playlist as the user works on it: the entries (kept in data.dat), the selected row,
// what the add buttons and other programs bring, removal and the steps to the previous and
// next entry. An entry selected to be played is asked for with playWanted(); the player core
// plays it.
class PlaylistController : public QObject {
    Q_OBJECT
    Q_PROPERTY(int currentRow READ currentRow WRITE select NOTIFY currentRowChanged)
public:
    // programFolder holds data.dat (the user's data folder when installed).
    explicit PlaylistController(QString programFolder, QObject* parent = nullptr);

    PlaylistModel& model() { return model_; }
    const PlaylistModel& model() const { return model_; }
    QString filePath() const; // data.dat

    int currentRow() const { return currentRow_; } // -1 when no entry is selected
    // The path of the selected entry; empty when nothing is selected.
    QString selectedPath() const { return model_.path(currentRow_); }

    // Start-up: the entries of data.dat; the first of them is selected to be played.
    void load();
    // Writes data.dat whole; false when it could not be written (the old file stays).
    bool save() const;

    bool canGoPrevious() const;
    bool canGoNext() const;

public Q_SLOTS:
    void select(int row);
    void previousEntry();
    void nextEntry();

    // The add buttons: the path is appended as it is (only a line break or a full list keeps
    // it out); a folder adds its MP3 files.
    void addFile(const QString& path);
    void addFolder(const QString& folder);
    void removeSelected();
    void clear();

    // Files and folders from outside (command line, a second start, drops, the desktop's
    // media controls). Each must name an existing regular file or folder, not a device, pipe
    // or anything under /proc or /sys; what is refused is never stored. What joins then plays,
    // from its first entry. Returns the refusals, one line each; empty when all were taken.
    // What did not fit is told in one message.
    QStringList admitPaths(const QStringList& paths);
    // The same, with the refusals told in that one message too.
    void openPaths(const QStringList& paths);

Q_SIGNALS:
    void currentRowChanged(int row);
    // The selected entry is to be played.
    void playWanted();
    // Something to tell the user in a message box: a title and a text.
    void message(const QString& title, const QString& text);

private:
    void stepTo(int row, bool play);
    int addToPlaylist(const QStringList& paths);
    // Appends what the addition accepts; its problem, with the text before it, is one message.
    int addToPlaylist(const PlaylistAddition& addition, const QString& before = {});
    QStringList admit(const QStringList& paths, bool tellRefusals);

    QString programFolder_;
    PlaylistModel model_;
    int currentRow_ = -1;
};
