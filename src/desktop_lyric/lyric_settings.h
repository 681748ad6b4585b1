#pragma once

#include "base/coalesced_call.h"
#include "desktop_lyric/lyric_renderer.h"

#include <QObject>
#include <QString>

// The desktop lyric's look, shared by the lyric window, the toolbar and the main window: one
// object for the whole process. Every change goes through it and is told: the lyric window
// redraws on styleChanged, and a changed look is written to desktoplrc.pst
// (settings/program_settings.h) once the change is done, so no writer has to remember
// either. save() writes at once, where the file must be written at a given step.
class LyricSettings : public QObject {
    Q_OBJECT
public:
    // lookFile: where the look is written; ProgramSettings::Files::lyricLook.
    explicit LyricSettings(QString lookFile, QObject* parent = nullptr);

    const QString& fontName() const { return style_.fontName; }
    float fontSize() const { return style_.fontSize; }    // used as pixels by the renderer
    qint16 colourScheme() const { return colourScheme_; } // 1 to 5; 0 until one is chosen
    // ARGB; both stay 0 (transparent) until a scheme is chosen.
    quint32 firstColour() const { return style_.firstColour; }
    quint32 secondColour() const { return style_.secondColour; }
    const LyricStyle& style() const { return style_; }

    void setFont(const QString& name, float size);
    // Makes scheme n (1 blue, 2 green, 3 red, 4 white, 5 yellow) the current one; other
    // numbers leave the look as it is.
    void chooseColourScheme(qint16 n);

    // Writes the settings file now. A scheme of 0 (none chosen yet) is written as 1 and
    // becomes 1. False when the file could not be written: it then stays as it was, and the
    // scheme too; the look in memory stays in effect either way.
    bool save();

Q_SIGNALS:
    // The font or the colours changed.
    void styleChanged();

private:
    void lookChanged();

    QString lookFile_;
    LyricStyle style_;
    qint16 colourScheme_ = 0;
    bool unsaved_ = false;
    CoalescedCall saveWhenDone_;
};
