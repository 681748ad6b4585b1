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

// Whatever lies in the working directory under the shipped name is copied into the user's
// fonts only when it is a font of believable size: a calligraphic CJK face is some 10 MiB.
inline constexpr qint64 MaxShippedBytes = 50 * 1024 * 1024;

QString installedFileName();

// Returns the face the desktop lyric should use: the calligraphic face when it is
// installed, or after installing it from the shipped file (then the font folder is shown
// to the user); otherwise the fallback face. A shipped file that is no font, or too large
// to be one, counts as absent.
QString prepare(FontInstallation& fonts, DesktopLauncher& launcher,
                const QString& currentDirectory);

} // namespace LyricFont
