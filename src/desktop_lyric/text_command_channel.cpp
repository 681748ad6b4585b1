#include "desktop_lyric/text_command_channel.h"

#include "window_services/mod_main.h"

void sendTextCommand(WindowTextChannel& channel, const QString& cmd) {
    modMain::SendTextToWindow(channel, TextCommand::ReceiverTitle, TextCommand::ReceiverBoxClass,
                              TextCommand::ReceiverBoxText, cmd);
}
