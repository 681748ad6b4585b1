#pragma once

#include <QFont>
#include <QString>
#include <optional>

// The toolbar's own font and what of it reaches the lyric. The lyric takes a family and a
// size in points only; bold and italic stay with the toolbar's font.
namespace LyricFontChoice {

bool isPointSize(qreal size);

// Where several foundries offer a family, the font dialog names it "Family [Foundry]"; the
// lyric's font is asked for by family alone, on whatever machine the settings end up.
QString familyWithoutFoundry(const QString& family);

// own, taking the lyric's name and size where the settings hold them: before the main window
// has prepared a lyric font there are none, and own keeps its own for the part missing.
QFont withLyricFont(QFont own, const QString& name, float size);

// own as the font dialog's answer changes it (family, point size, bold, italic); none when
// the answer is one own cannot take (sized in pixels only, or with no family), which ends the
// choice before anything has changed, like a cancel.
std::optional<QFont> chosen(QFont own, const QFont& answer);

} // namespace LyricFontChoice
