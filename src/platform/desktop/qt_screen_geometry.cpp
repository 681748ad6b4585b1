#include "platform/desktop/qt_screen_geometry.h"

#include <QGuiApplication>
#include <QScreen>

QtScreenGeometry::QtScreenGeometry() : announce_(this, [this] { Q_EMIT changed(); }) {
    if (!qGuiApp)
        return;
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        announce_.request();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { announce_.request(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this] { announce_.request(); });
}

void QtScreenGeometry::watch(QScreen* screen) {
    const auto announce = [this] { announce_.request(); };
    connect(screen, &QScreen::geometryChanged, this, announce);
    connect(screen, &QScreen::availableGeometryChanged, this, announce);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, announce);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, announce);
}

QRect QtScreenGeometry::screen() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry() : QRect();
}

QRect QtScreenGeometry::workArea() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : QRect();
}

QList<DesktopScreen> QtScreenGeometry::screens() const {
    QList<DesktopScreen> found;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QString model =
            QStringList{screen->manufacturer(), screen->model()}.join(u' ').trimmed();
        const DesktopScreen described{screen->name(), model, screen->geometry(),
                                      screen->availableGeometry(), screen->devicePixelRatio()};
        if (screen == primary)
            found.prepend(described);
        else
            found.append(described);
    }
    return found;
}
