#include "platform/process/start_platform.h"

StartPlatform chooseStartPlatform(const DisplaysFound& found) {
    const QString withoutX11 = QString::fromUtf16(
        u"vellora: 没有 X11 显示，延迟命令不会发送 running on Wayland without X11: the lyric "
        u"delay commands address another program's X11 window and are not sent");
    const QByteArray& requested = found.requestedPlatform;
    if (!requested.isEmpty()) {
        if (requested == "xcb" && !found.x11)
            return {{},
                    QString::fromUtf16(u"vellora: 无法连接 X11 显示 QT_QPA_PLATFORM=xcb asks for "
                                       u"X11, but no X display answers (DISPLAY)"),
                    {}};
        return {requested, {}, requested.startsWith("wayland") ? withoutX11 : QString()};
    }
    if (found.x11)
        return {"xcb", {}, {}};
    if (found.wayland)
        return {"wayland", {}, withoutX11};
    return {{},
            QString::fromUtf16(u"vellora: 找不到显示 no display to show the player on: neither an "
                               u"X display (DISPLAY) nor a Wayland display (WAYLAND_DISPLAY) "
                               u"answers"),
            {}};
}
