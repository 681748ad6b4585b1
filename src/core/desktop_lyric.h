#pragma once

#include <QString>
#include <QtGlobal>

class LyricSettings;

// The desktop lyric as the player drives it: the lyric window and its toolbar, each made and
// loaded, not shown, the first time anything addresses it.
class DesktopLyric {
public:
    virtual ~DesktopLyric() = default;

    // The look shared by the lyric window and its toolbar.
    virtual LyricSettings& settings() = 0;

    // Lyric window: makes text the current lyric and draws it; an empty text changes nothing.
    virtual void DrawText(const QString& text) = 0;
    // Toolbar: chooses colour scheme n, records it in the settings file, redraws the lyric.
    virtual void SetColor(qint16 n) = 0;
    virtual void showLyricWindow() = 0;
    virtual void hideLyricWindow() = 0;
};
