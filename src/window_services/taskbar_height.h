#pragma once

#include <QRect>
#include <QtGlobal>

class ScreenGeometry;

// Height, in twips, of the strip of the primary screen below its work area: the panel's
// height when one is docked at the bottom, 0 when panels sit at other edges. A strip taller
// than 16 bits of twips can hold is reported as 32767 (and a work area reaching below the
// screen, which only a broken report gives, no lower than -32768).
qint16 GetTaskbarHeight(const ScreenGeometry& screen);

// The same for any screen and its work area.
qint16 GetTaskbarHeight(const QRect& screen, const QRect& workArea);
