#pragma once

#include <QString>

struct LyricSettings;

// The desktop lyric settings file: font name, font size and colour scheme, one per line.
// The program only writes it; nothing reads it back.
namespace SettingsFile {

// data/system/desktoplrc.pst in the program folder.
QString path(const QString& programFolder);

// A number the way the file holds it: a leading space (a minus sign when negative), the
// shortest decimal form with at most 7 significant digits and a point, a trailing space.
// Sizes no font dialog gives are written as C's %g writes them: 1e+07 from ten million up,
// 1e-05 below a ten-thousandth, nan and inf for sizes that are no number.
QString formatNumber(double value);

// The file's bytes for these settings. Needs a colour scheme already chosen (see save). A
// line break in the font name is written as a space: the name has one line.
QByteArray content(const LyricSettings& settings);

// Rewrites the file from the settings, creating data/system when missing. A scheme of 0
// (none chosen yet) is written as 1 and becomes 1 in the settings as well. On failure the
// previous file stays as it was, the scheme as it was, and false is returned; the other
// settings in memory stay in effect either way.
bool save(LyricSettings& settings, const QString& programFolder);

} // namespace SettingsFile
