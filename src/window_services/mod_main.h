#pragma once

#include <QString>

class WindowTextChannel;

namespace modMain {

// Through the given window system, replaces the text of the first direct child of class
// `childClass` holding `childCaption` inside the top-level window titled `topCaption`.
// Fire-and-forget: nothing is reported when either window is missing.
void SendTextToWindow(WindowTextChannel& channel, const QString& topCaption,
                      const QString& childClass, const QString& childCaption, const QString& text);

} // namespace modMain
