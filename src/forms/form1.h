#pragma once

#include "forms/click_recognizer.h"
#include "lyrics/lyric_line_index.h"
#include "platform/water_ripple.h"
#include "player/playlist_file.h"

#include <QString>
#include <QWidget>
#include <functional>

class ClickArea;
class ClickableLabel;
class DesktopLauncher;
class Dialogs;
class FontInstallation;
class LyricWindows;
class MediaEngine;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStringListModel;
class QTimer;

// What the main window needs from the world outside it.
struct Form1Services {
    MediaEngine& engine;
    DesktopLauncher& launcher;
    FontInstallation& fonts;
    Dialogs& dialogs;
    LyricWindows& lyricWindows;       // the desktop lyric and its toolbar
    QString programFolder;            // holds data.dat (the user's data folder when installed)
    QString currentDirectory;         // where the shipped lyric font is looked for
    std::function<void()> endProcess; // leaves the event loop without closing anything
};

// The main window. Controls carry their design names; hidden ones hold the window's state
// as texts, the way the rest of the program reads and writes it.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    QString playlistPath() const;

    // The row of the selected playlist entry, -1 when none is selected.
    int selectedIndex() const;
    void selectEntry(int row);

    // Replaces the lyric line store with the lines of the media file's lyric file.
    void LoadLyricLines(const QString& mediaPath);
    QStringList lyricLines() const;

    // The playlist as it would be saved: each entry read from data.dat with the bytes it
    // was stored as.
    QList<PlaylistFile::Entry> playlistEntries() const;

    // For the desktop (media keys and applets, the file manager, a second start): the same
    // paths the transport and add buttons take, and signals when what it shows may differ.
    QString currentMediaPath() const; // Text1
    bool canGoPrevious() const;
    bool canGoNext() const;
public Q_SLOTS:
    void play();          // Image9
    void pause();         // Image11
    void stop();          // Image10
    void previousEntry(); // Image12
    void nextEntry();     // Image13
    // Files join as the add-file button adds them, folders as the add-folder button lists
    // them, with the same checks; the first entry that joined then plays.
    void addPaths(const QStringList& paths);
Q_SIGNALS:
    void mediaOpened();     // Text1 and the lyric lines now describe another opening
    void playlistChanged(); // entries added or removed

public:
    // Timer handlers, public so that tests can step them one tick at a time. The playback
    // tick also runs whenever something it reads changes (see requestTick).
    void timer1Tick();
    void timer2Tick();
    void timer3Tick();
    void timer4Tick();
    void timer5Tick();

    // Playlist.
    QListWidget* List2;
    QListView* List1; // lyric lines of the media last opened
    QStringListModel* lyricLineStore;
    QLineEdit* Text1; // path of the media last opened
    QLineEdit* Text2; // face of the desktop lyric font

    PictureBox* Picture1; // source picture of the rippling water at the top
    QLabel* Label1;       // notes kept with the design

    // Transport strip and tool strip, with their click areas.
    PictureBox* Picture4;
    ClickArea* Image9;  // play
    ClickArea* Image11; // pause
    ClickArea* Image10; // stop
    ClickArea* Image12; // previous
    ClickArea* Image13; // next
    ClickArea* Image14; // repeat the track
    ClickArea* Image15; // advance through the list
    PictureBox* Picture2;
    ClickArea* Image3;     // add a file
    ClickArea* Image4;     // add a folder
    ClickArea* Image6;     // remove the selected entry
    ClickArea* Image5;     // clear the playlist
    ClickArea* Image1;     // desktop lyric switch
    ClickArea* Image2;     // toolbar
    ClickArea* Image7;     // volume mixer
    QPushButton* Command1; // replay Text1
    QPushButton* Command2; // desktop lyric in the calligraphic face
    QPushButton* Command3; // toolbar

    // Desktop lyric switch state and the lyric strip.
    QCheckBox* Check1; // whether the switch last showed the desktop lyric
    PictureBox* Picture3;
    QLabel* Label2; // text of the current lyric line

    // Playback status, written by the playback tick.
    QLabel* Label3; // play state
    QLabel* Label4; // first tag of the line after the current one
    QLabel* Label5; // position/duration
    QLabel* Label6; // first tag of the current line

    ClickableLabel* Label7; // duration
    ClickableLabel* Label8; // position
    QLabel* Label9;         // play mode: "1" repeats the track, anything else advances
    QLabel* Label10;        // exit fade level
    QLabel* Label11;        // clicks on the window background
    QWidget* w1;            // area of the media engine

    QTimer* Timer1; // playback tick, armed for when the position text next moves on
    QTimer* Timer2; // ripple step, running while the water moves
    QTimer* Timer3; // one-shot deferred play of the selected entry
    QTimer* Timer4; // exit fade: volume and fade level, then the end
    QTimer* Timer5; // exit fade: window opacity

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void connectDesktopSignals();
    void load();

    void requestTick();
    void armTimer1();
    void stirWater(const QMouseEvent* event, int spread, int depth);

    void playSelectedEntry();
    void openMedia(const QString& path);
    int addToPlaylist(const QStringList& paths);
    void appendEntry(const PlaylistFile::Entry& entry);
    void addFile();
    void addFolder();
    void removeSelected();
    void stepTo(int row, bool play);
    void mediaEnded();
    void openDesktopLyric(const QString& fontName);
    void switchDesktopLyric();
    void backgroundClicked();
    void showToolbar();

    Form1Services services_;
    // Any button clicks the background.
    ClickRecognizer backgroundClick_{Qt::AllButtons};
    LyricLineIndex lyricIndex_; // the lines of List1, indexed for the playback tick
    WaterRipple water_;         // the rippling picture at the top of the window
    bool toldSaveFailure_ = false;
    bool tickRequested_ = false;
};
