#pragma once

#include <QString>
#include <QWidget>

class FrmShow;
class ScreenGeometry;
struct LyricSettings;

// What the toolbar needs from the world outside it.
struct FrmSetServices {
    const ScreenGeometry& screen;
    QString programFolder; // holds data/system/desktoplrc.pst
};

// The desktop lyric's toolbar: a small frameless bar that floats on top just above the
// lyric window. Constructing it loads it, hidden, in its place above the lyric window.
class FrmSet : public QWidget {
    Q_OBJECT
public:
    FrmSet(LyricSettings& settings, FrmShow& lyricWindow, FrmSetServices services,
           QWidget* parent = nullptr);
    ~FrmSet() override;

    // Writes the settings file from the shared settings; false when it could not be
    // written (the previous file then stays as it was).
    bool SaveSet();

    // Chooses colour scheme n (1 to 5; other numbers keep the colours), records it in the
    // settings file and has the lyric redrawn. A file that cannot be written changes
    // nothing else: the new colours stay in effect and the lyric is redrawn in them.
    void SetColor(qint16 n);

protected:
    LyricSettings& settings() { return settings_; }
    FrmShow& lyricWindow() { return lyricWindow_; }
    const FrmSetServices& services() const { return services_; }

private:
    void load();

    LyricSettings& settings_;
    FrmShow& lyricWindow_;
    FrmSetServices services_;
};
