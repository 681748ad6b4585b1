#include "window_services/mod_main.h"

#include "window_services/window_text_channel.h"

namespace {

// The texts travel as zero-terminated strings, so a receiver never sees past a NUL; on
// X11 a NUL inside a title would even split it into a list of texts.
QString zeroTerminated(const QString& text) {
    const qsizetype end = text.indexOf(QChar(u'\0'));
    return end < 0 ? text : text.left(end);
}

} // namespace

namespace modMain {

void SendTextToWindow(WindowTextChannel& channel, const QString& topCaption,
                      const QString& childClass, const QString& childCaption, const QString& text) {
    const WindowTextChannel::Handle top = channel.findTopLevel(zeroTerminated(topCaption));
    const WindowTextChannel::Handle box =
        channel.findDirectChild(top, zeroTerminated(childClass), zeroTerminated(childCaption));
    channel.setText(box, zeroTerminated(text));
}

} // namespace modMain
