#pragma once

#include <QString>
#include <QtGlobal>

// The desktop lyric's look and its current line, shared by the lyric window, the toolbar
// and the main window. There is one for the whole process; its owner hands it out by
// reference, so copying one would split state that must stay shared.
struct LyricSettings {
    LyricSettings() = default;
    LyricSettings(const LyricSettings&) = delete;
    LyricSettings& operator=(const LyricSettings&) = delete;

    QString fontName;
    float fontSize = 0.0f;   // used as pixels by the renderer
    qint16 colourScheme = 0; // 1 to 5; 0 until a scheme is chosen
    quint32 firstColour = 0; // ARGB; both stay 0 (transparent) until a scheme is chosen
    quint32 secondColour = 0;
    QString currentText; // the last non-empty text handed to the lyric window
};
