#pragma once

#include <Qt>
#include <optional>

// The main window's keys: what a key does when the control that has the focus does not take
// it for itself. A focused button takes Space and Enter (it is pressed), and a text box the
// keys that edit text; the list's own arrow keys move in it. Everywhere else:
//
//     Space             play or pause          Ctrl+Left / Ctrl+Right  previous / next track
//     Enter             play the selected      Left / Right            5 s back / forward
//     Delete            remove the selected    Ctrl+O, Ctrl+Shift+O    add files, a folder
//     Ctrl+L            the desktop lyric on or off
namespace MainWindowKeys {

enum class Command {
    PlayOrPause,
    PlaySelected,
    RemoveSelected,
    Previous,
    Next,
    SeekBack,
    SeekForward,
    AddFiles,
    AddFolder,
    SwitchDesktopLyric,
};

// What has the keyboard focus.
enum class Focus { Other, Button, TextBox };

inline constexpr qint64 SeekStepMs = 5000;

std::optional<Command> commandFor(int key, Qt::KeyboardModifiers modifiers, Focus focus);

} // namespace MainWindowKeys
