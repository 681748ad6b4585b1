#include "platform/desktop/window_text_decoding_x11.h"

// Xlib after Qt: its macros (None, Bool, Status…) would otherwise clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

std::optional<QString> fromCompoundText(Display* display, Atom compoundText, QByteArray bytes) {
    XTextProperty property{reinterpret_cast<unsigned char*>(bytes.data()), compoundText, 8,
                           static_cast<unsigned long>(bytes.size())};
    char** list = nullptr;
    int count = 0;
    // A positive status counts characters that had no UTF-8 form; the list is made
    // all the same, with stand-ins for them, and must be freed like any other.
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) < Success)
        return std::nullopt;
    QString decoded;
    for (int i = 0; i < count; ++i)
        decoded += QString::fromUtf8(list[i]);
    XFreeStringList(list);
    return decoded;
}

} // namespace

std::optional<QString> decodeWindowText(Display* display, Atom type, const QByteArray& bytes,
                                        const WindowTextAtoms& atoms) {
    if (type == atoms.utf8String)
        return QString::fromUtf8(bytes);
    if (type == XA_STRING)
        return QString::fromLatin1(bytes);
    if (type == atoms.compoundText)
        return fromCompoundText(display, atoms.compoundText, bytes);
    return std::nullopt;
}
