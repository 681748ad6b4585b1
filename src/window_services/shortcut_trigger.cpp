#include "window_services/shortcut_trigger.h"

#include <QKeySequence>
#include <array>
#include <utility>

namespace {

// Keys whose X keysym name is not their own character; letters and digits are.
constexpr std::array<std::pair<Qt::Key, const char16_t*>, 33> NamedKeys{{
    {Qt::Key_Space, u"space"},
    {Qt::Key_Return, u"Return"},
    {Qt::Key_Enter, u"KP_Enter"},
    {Qt::Key_Escape, u"Escape"},
    {Qt::Key_Tab, u"Tab"},
    {Qt::Key_Backspace, u"BackSpace"},
    {Qt::Key_Insert, u"Insert"},
    {Qt::Key_Delete, u"Delete"},
    {Qt::Key_Home, u"Home"},
    {Qt::Key_End, u"End"},
    {Qt::Key_PageUp, u"Page_Up"},
    {Qt::Key_PageDown, u"Page_Down"},
    {Qt::Key_Left, u"Left"},
    {Qt::Key_Right, u"Right"},
    {Qt::Key_Up, u"Up"},
    {Qt::Key_Down, u"Down"},
    {Qt::Key_Pause, u"Pause"},
    {Qt::Key_Print, u"Print"},
    {Qt::Key_Minus, u"minus"},
    {Qt::Key_Equal, u"equal"},
    {Qt::Key_BracketLeft, u"bracketleft"},
    {Qt::Key_BracketRight, u"bracketright"},
    {Qt::Key_Semicolon, u"semicolon"},
    {Qt::Key_Apostrophe, u"apostrophe"},
    {Qt::Key_Comma, u"comma"},
    {Qt::Key_Period, u"period"},
    {Qt::Key_Slash, u"slash"},
    {Qt::Key_Backslash, u"backslash"},
    {Qt::Key_QuoteLeft, u"grave"},
    {Qt::Key_MediaPlay, u"XF86AudioPlay"},
    {Qt::Key_MediaTogglePlayPause, u"XF86AudioPlay"},
    {Qt::Key_MediaNext, u"XF86AudioNext"},
    {Qt::Key_MediaPrevious, u"XF86AudioPrev"},
}};

QString keysymNameOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar(u'0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return u'F' + QString::number(key - Qt::Key_F1 + 1);
    for (const auto& [named, name] : NamedKeys) {
        if (named == key)
            return QString::fromUtf16(name);
    }
    return {};
}

constexpr Qt::KeyboardModifiers Allowed =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;

} // namespace

std::optional<ShortcutTrigger> ShortcutTrigger::parse(QStringView text) {
    const QKeySequence sequence =
        QKeySequence::fromString(text.trimmed().toString(), QKeySequence::PortableText);
    if (sequence.count() != 1)
        return std::nullopt;
    const QKeyCombination combination = sequence[0];
    if ((combination.keyboardModifiers() & ~Allowed) != Qt::NoModifier)
        return std::nullopt;
    QString name = keysymNameOf(combination.key());
    if (name.isEmpty())
        return std::nullopt;
    return ShortcutTrigger(combination, std::move(name));
}

QString ShortcutTrigger::text() const {
    return QKeySequence(combination_).toString(QKeySequence::PortableText);
}

QString ShortcutTrigger::portalText() const {
    QString text;
    const auto add = [&](Qt::KeyboardModifier modifier, const char16_t* name) {
        if (modifiers().testFlag(modifier))
            text += QString::fromUtf16(name) + u'+';
    };
    add(Qt::ControlModifier, u"CTRL");
    add(Qt::AltModifier, u"ALT");
    add(Qt::ShiftModifier, u"SHIFT");
    add(Qt::MetaModifier, u"LOGO");
    return text + keysymName_;
}
