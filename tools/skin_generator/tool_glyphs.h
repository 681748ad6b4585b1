#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

// The tool strip's button glyphs, each drawn centred on c in the ink given.
namespace skin {

void drawBadge(QPainter& painter, QPointF c, QColor fill, bool plus);
void drawDocument(QPainter& painter, QPointF c, QColor ink);
void drawList(QPainter& painter, QPointF c, QColor ink);
void drawFolder(QPainter& painter, QPointF c, QColor ink);
void drawBin(QPainter& painter, QPointF c, QColor ink);
void drawGear(QPainter& painter, QPointF c, QColor ink);
void drawSpeaker(QPainter& painter, QPointF c, QColor ink);
void drawLyricSign(QPainter& painter, QPointF c, QColor ink);

} // namespace skin
