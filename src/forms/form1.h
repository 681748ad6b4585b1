#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class DesktopLauncher;
class FontInstallation;
class MediaEngine;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

// What the main window needs from the world outside it.
struct Form1Services {
    MediaEngine& engine;
    DesktopLauncher& launcher;
    FontInstallation& fonts;
    QString programFolder;            // holds data.dat
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

    // Timer handlers, public so that tests can step them one tick at a time.
    void timer3Tick();
    void timer4Tick();
    void timer5Tick();

    QListWidget* List2; // the playlist
    QLineEdit* Text1;   // path of the media last opened
    QLineEdit* Text2;   // face of the desktop lyric font
    QLabel* Label10;    // exit fade level
    QWidget* w1;        // area of the media engine
    QTimer* Timer1;     // playback tick
    QTimer* Timer2;     // ripple step
    QTimer* Timer3;     // one-shot deferred play of the selected entry
    QTimer* Timer4;     // exit fade: volume and fade level, then the end
    QTimer* Timer5;     // exit fade: window opacity

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void load();
    void playSelectedEntry();

    Form1Services services_;
};
