#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

// One screen of the desktop, in the pixels windows are placed in.
struct DesktopScreen {
    QString name;  // the output's name (HDMI-1, eDP-1); empty where the system gives none
    QString model; // manufacturer and model, where known
    QRect geometry;
    QRect workArea; // what panels and docks leave free
    qreal scale = 1;
    bool operator==(const DesktopScreen&) const = default;
};

// The desktop's screens. Tests give them any size, work area and number they need.
class ScreenGeometry : public QObject {
    Q_OBJECT
public:
    // The whole primary screen.
    virtual QRect screen() const = 0;

    // The part of the primary screen that panels and docks leave free.
    virtual QRect workArea() const = 0;

    // Every screen, the primary first; by default the primary alone, without a name.
    virtual QList<DesktopScreen> screens() const {
        return {DesktopScreen{{}, {}, screen(), workArea()}};
    }

Q_SIGNALS:
    // A screen came or went, another became the primary, or one changed its size, scale or
    // work area. Said only by the window system's own signals: nothing is polled.
    void changed();
};
