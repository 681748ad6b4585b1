#include "desktop_lyric/toolbar_face.h"

#include <QPainter>

namespace ToolbarFace {

QImage compose(QSize size, const Bar& bar) {
    QImage face(size, QImage::Format_RGB32);
    face.fill(ColourKey);
    QPainter painter(&face);
    painter.setClipRect(bar.geometry);
    painter.fillRect(bar.geometry, bar.background);
    painter.drawPixmap(bar.geometry.topLeft(), bar.picture);
    for (const Button& button : bar.buttons) {
        const QRect shown = QRect(QPoint(), button.size) & button.picture.rect();
        painter.drawPixmap(bar.geometry.topLeft() + button.at, button.picture, shown);
    }
    return face;
}

} // namespace ToolbarFace
