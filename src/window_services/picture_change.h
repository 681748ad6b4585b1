#pragma once

#include <QImage>
#include <QRect>

namespace PictureChange {

// The smallest rectangle holding every pixel of after, within `within` (device pixels), that
// differs from before: all of after when the two differ in size, format or pixel ratio, or
// before is null; empty when no pixel differs. Pixels outside `within` are taken as equal.
QRect between(const QImage& before, const QImage& after, const QRect& within);

} // namespace PictureChange
