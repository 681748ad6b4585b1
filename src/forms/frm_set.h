#pragma once

#include "forms/window_drag.h"

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

class Dialogs;
class FrmShow;
class ImageControl;
class MouseTrackPlatform;
class PictureBox;
class WindowPresenter;
class WindowTextChannel;
class cMouseTrack;
class LyricSettings;

// What the toolbar needs from the world outside it.
struct FrmSetServices {
    Dialogs& dialogs;
    WindowTextChannel& textChannel; // carries the delay commands to the receiving player
    MouseTrackPlatform& mouseTrack;
    // Looks after the bar's window on the window system, and draws it where Qt's own window
    // cannot float above the others; none: Qt's window as it is.
    WindowPresenter* presenter = nullptr;
};

// The desktop lyric's toolbar: a small frameless bar that floats on top just above the
// lyric window, with image buttons for the lyric delay, the colour scheme and the font.
// It hides itself when the pointer, having touched the bar's bare surface, leaves it.
// Constructing it loads it, hidden, in its place above the lyric window.
class FrmSet : public QWidget {
    Q_OBJECT
public:
    FrmSet(LyricSettings& settings, FrmShow& lyricWindow, FrmSetServices services,
           QWidget* parent = nullptr);
    ~FrmSet() override;

    // Writes the settings file from the shared settings; false when it could not be
    // written (the previous file then stays as it was).
    bool SaveSet();

    // Sends one command to the receiving player; with none there, it is lost.
    void SendCmd(const QString& cmd);

    // Puts every button back to its normal picture.
    void refreshSkin();

    // Chooses colour scheme n (1 to 5; other numbers keep the colours), records it in the
    // settings file and has the lyric redrawn. A file that cannot be written changes
    // nothing else: the new colours stay in effect and the lyric is redrawn in them.
    void SetColor(qint16 n);

    // Hides the bar as the pointer leaving it does.
    void pointerLeft();

    // The font the font dialog starts from and writes back to. Only its name and size
    // reach the lyric; bold and italic stay here.
    const QFont& ownFont() const { return ownFont_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The bar and its images, by their design names.
    PictureBox* Pic;
    ImageControl* CmdLrc; // never shown
    ImageControl* Image1;
    ImageControl* Image23; // separator
    ImageControl* Delay1;
    ImageControl* Delay2;
    ImageControl* CmdLock; // never shown
    ImageControl* CmdEnd;
    ImageControl* CmdBlue;
    ImageControl* CmdGreen;
    ImageControl* CmdWhite;
    ImageControl* CmdYellow;
    ImageControl* Image50; // separator
    ImageControl* CmdSet;
    ImageControl* Image3; // separator
    ImageControl* CmdRed;

    // Reports the pointer leaving Pic, once armed by a move over Pic's bare surface.
    cMouseTrack* m_cPTM = nullptr;

    // The three pictures a button swaps between.
    struct ButtonPictures {
        QPixmap normal;
        QPixmap pointer;
        QPixmap pressed;
    };
    struct Button {
        ImageControl* control;
        ButtonPictures pictures;
    };

    void createControls();
    void connectEvents();
    void load();

    void showPicture(ImageControl* control, const QPixmap& picture);
    void updateColourKey();
    bool presented() const;
    void surfaceMouseMoved();
    void chooseFont();

    LyricSettings& settings_;
    FrmShow& lyricWindow_;
    FrmSetServices services_;
    QFont ownFont_;
    // In the order refreshSkin restores them.
    QList<Button> buttons_;
    WindowDrag drag_;
};
