#pragma once

#include <QLatin1String>
#include <QString>

class WindowTextChannel;

// The lyric player of another program takes timing commands through a text box of its
// window: a box of class ReceiverBoxClass holding ReceiverBoxText, a direct child of the
// top-level window titled ReceiverTitle. The command replaces the box's text; the
// receiver puts ReceiverBoxText back when it wants the next one.
namespace TextCommand {

inline constexpr QLatin1String ReceiverTitle("lumioramusicbox");
inline constexpr QLatin1String ReceiverBoxClass("ThunderRT6TextBox");
inline constexpr QLatin1String ReceiverBoxText("TextCmd");

// Show the lyric 0.5 seconds later / earlier; the receiver owns the step.
inline constexpr QLatin1String DelayLater("DELAY+");
inline constexpr QLatin1String DelayEarlier("DELAY-");

} // namespace TextCommand

// Fire-and-forget: with no receiver, or a receiver not ready for a command, it is lost.
void sendTextCommand(WindowTextChannel& channel, const QString& cmd);
