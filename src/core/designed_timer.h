#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// The timers of the design, as the core's parts keep them: named after the design's control,
// precise, and enabled the way the design's timers were.
namespace DesignedTimer {

inline QTimer* make(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    return timer;
}

// Enabling a timer that already runs changes nothing, as with the designed timers;
// QTimer::start() would restart its interval instead.
inline void enable(QTimer* timer) {
    if (!timer->isActive())
        timer->start();
}

} // namespace DesignedTimer
