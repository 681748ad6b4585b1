#pragma once

#include "forms/click_recognizer.h"
#include "forms/water_ripple.h"
#include "window_services/held_messages.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class ClickArea;
class ClickableLabel;
class DesktopLauncher;
class Dialogs;
class LyricWindows;
class PictureBox;
class PlayerCore;
class QCheckBox;
class QLabel;
class QLineEdit;
class LyricSearchWindow;
class QListView;
class QPushButton;
class QTimer;

// What the main window needs from the world outside it.
struct Form1Services {
    PlayerCore& core;
    Dialogs& dialogs;
    DesktopLauncher& launcher;  // the volume mixer
    LyricWindows& lyricWindows; // the toolbar it shows
    // Whether the window system lets the window set its opacity; without, the exit fade
    // fades the volume alone.
    bool windowOpacity = true;
};

// The main window: the player's face. Its controls carry their design names and stand where
// the design put them; each shows a property of the player core (the hidden ones too, as the
// design keeps them) and each click becomes a call on the core. Nothing is read back from a
// control. The rippling water at the top, with its timer `Timer2`, and the window's fading
// opacity, with `Timer5`, are the window's own.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

Q_SIGNALS:
    // The window was painted on the screen for the first time.
    void shownOnScreen();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void bindToCore();
    void connectEvents();

    void addFile();
    void addFolder();
    // The lyrics search window for a track, made the first time it is asked for.
    void openLyricSearch(const QString& mediaPath);
    void playlistMenu(const QPoint& at);
    // The window's keys (window_services/main_window_keys.h), where the focused control
    // leaves them; true when the key did something.
    bool windowKey(const QWidget* focused, const QKeyEvent& key);
    void showMessage(const QString& title, const QString& text);
    void showHeldMessages();
    void showHeldMessagesLater();
    void stirWater(const QMouseEvent* event, int spread, int depth);
    void timer2Tick();
    void timer5Tick();

    Form1Services services_;
    PlayerCore& core_;

    QListView* List2;
    QListView* List1; // lyric lines of the media last opened
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

    QCheckBox* Check1; // whether the switch last showed the desktop lyric
    PictureBox* Picture3;
    QLabel* Label2; // text of the current lyric line

    // Playback status, as the playback tick writes it.
    QLabel* Label3; // play state
    QLabel* Label4; // first tag of the line after the current one
    QLabel* Label5; // position/duration
    QLabel* Label6; // first tag of the current line

    ClickableLabel* Label7; // duration, when clicked
    ClickableLabel* Label8; // position, when clicked
    QLabel* Label9;         // play mode
    QLabel* Label10;        // exit fade level
    QLabel* Label11;        // clicks on the window background
    QWidget* w1;            // area of the media engine

    QTimer* Timer2; // ripple step, running while the water moves
    QTimer* Timer5; // exit fade: window opacity

    // Any button clicks the background.
    ClickRecognizer backgroundClick_{Qt::AllButtons};
    WaterRipple water_; // the rippling picture at the top of the window
    // Shown once the window is on screen, or the box before them is closed.
    HeldMessages heldMessages_;
    bool shownOnScreen_ = false;
    LyricSearchWindow* lyricSearch_ = nullptr;
};
