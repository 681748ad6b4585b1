#include "window_services/main_window_keys.h"

namespace MainWindowKeys {

std::optional<Command> commandFor(int key, Qt::KeyboardModifiers modifiers, Focus focus) {
    // The keypad's Enter is Enter; Shift counts only with Ctrl+O.
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (held == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_O:
            return Command::AddFiles;
        case Qt::Key_L:
            return Command::SwitchDesktopLyric;
        case Qt::Key_Left:
            return focus == Focus::TextBox ? std::nullopt : std::optional(Command::Previous);
        case Qt::Key_Right:
            return focus == Focus::TextBox ? std::nullopt : std::optional(Command::Next);
        default:
            return std::nullopt;
        }
    }
    if (held == (Qt::ControlModifier | Qt::ShiftModifier))
        return key == Qt::Key_O ? std::optional(Command::AddFolder) : std::nullopt;
    if (held != Qt::NoModifier || focus == Focus::TextBox)
        return std::nullopt;
    if (focus == Focus::Button && (key == Qt::Key_Space || enter))
        return std::nullopt;
    if (enter)
        return Command::PlaySelected;
    switch (key) {
    case Qt::Key_Space:
        return Command::PlayOrPause;
    case Qt::Key_Delete:
        return Command::RemoveSelected;
    case Qt::Key_Left:
        return Command::SeekBack;
    case Qt::Key_Right:
        return Command::SeekForward;
    default:
        return std::nullopt;
    }
}

} // namespace MainWindowKeys
