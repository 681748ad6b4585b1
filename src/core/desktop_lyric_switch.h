#pragma once

#include <QObject>
#include <QString>

class DesktopLauncher;
class DesktopLyric;
class FontInstallation;
class MediaEngine;
class PlaybackStatus;

// The main window's switch for the desktop lyric (Check1) with the face it opens the lyric
// in (Text2), and the counter of clicks on the window's background, which each play too.
class DesktopLyricSwitch : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString lyricFontFace READ lyricFontFace NOTIFY lyricFontFaceChanged)
    Q_PROPERTY(bool shown READ shown NOTIFY shownChanged)
    Q_PROPERTY(int clickCount READ clickCount NOTIFY clickCountChanged)
public:
    // status redraws the current line over the greeting.
    DesktopLyricSwitch(DesktopLyric& lyric, PlaybackStatus& status, MediaEngine& engine,
                       QObject* parent = nullptr);

    QString lyricFontFace() const { return lyricFontFace_; }
    bool shown() const { return shown_; } // by the switch
    int clickCount() const { return clickCount_; }

    // Start-up: the calligraphic face, installed from the shipped file when need be, or the
    // fallback one.
    void prepareFont(FontInstallation& fonts, DesktopLauncher& launcher,
                     const QString& currentDirectory);

public Q_SLOTS:
    // The switch, and its button that opens the lyric in the calligraphic face whatever was
    // prepared.
    void switchDesktopLyric();
    void openDesktopLyric(const QString& fontName);
    // A click on the main window's background.
    void backgroundClicked();

Q_SIGNALS:
    void lyricFontFaceChanged(const QString& face);
    void shownChanged(bool shown);
    void clickCountChanged(int count);
    // Something to tell the user in a message box: a title and a text.
    void message(const QString& title, const QString& text);

private:
    void setShown(bool shown);
    void setClickCount(int count);

    DesktopLyric& lyric_;
    PlaybackStatus& status_;
    MediaEngine& engine_;
    QString lyricFontFace_;
    bool shown_ = false;
    int clickCount_ = 0;
};
