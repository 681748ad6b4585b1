#pragma once

#include <QString>

// The bytes of desktoplrc.pst, the desktop lyric's look: font name, font size and colour
// scheme, one per line (program_settings.h has its place and defaults). The program only
// writes it; nothing reads it back.
namespace LyricLookFile {

// A number the way the file holds it: a leading space (a minus sign when negative), the
// shortest decimal form with at most 7 significant digits and a point, a trailing space.
// Sizes no font dialog gives are written as C's %g writes them: 1e+07 from ten million up,
// 1e-05 below a ten-thousandth, nan and inf for sizes that are no number.
QString formatNumber(double value);

// The file's bytes: the font name, the size and the scheme, one a line. A line break in the
// font name is written as a space: the name has one line.
QByteArray content(const QString& fontName, float fontSize, qint16 colourScheme);

// Rewrites the file, creating its folder when missing. On failure the previous file stays
// as it was, and false is returned.
bool write(const QString& file, const QString& fontName, float fontSize, qint16 colourScheme);

} // namespace LyricLookFile
