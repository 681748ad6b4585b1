#pragma once

#include <QString>

class DesktopLauncher;
class FontInstallation;

// The desktop lyric's font face. The player ships its calligraphic face as "font.ocx"
// beside the working directory and installs it for the user on first start.
namespace LyricFont {

inline constexpr auto Calligraphic = u"华文行楷";
inline constexpr auto Fallback = u"黑体";
inline constexpr auto ShippedFile = "font.ocx";

QString installedFileName();

// Returns the face the desktop lyric should use: the calligraphic face when it is
// installed, or after installing it from the shipped file (then the font folder is shown
// to the user); otherwise the fallback face.
QString prepare(FontInstallation& fonts, DesktopLauncher& launcher,
                const QString& currentDirectory);

} // namespace LyricFont
