#include "platform/qt_screen_geometry.h"

#include <QGuiApplication>
#include <QScreen>

QRect QtScreenGeometry::screen() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry() : QRect();
}

QRect QtScreenGeometry::workArea() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : QRect();
}
