#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Xlib's own names for these two, declared without its header: its macros (None, Bool,
// Status…) would clash with Qt's names in every file that includes this one.
typedef struct _XDisplay Display;
typedef unsigned long Atom;

// The atoms a window text may be typed with besides the predefined STRING.
struct WindowTextAtoms {
    Atom utf8String = 0;
    Atom compoundText = 0;
};

// A text property's bytes as text, by the property's type: UTF8_STRING, STRING (Latin-1)
// or COMPOUND_TEXT (decoded by Xlib in the current locale). Nothing for any other type,
// nor for compound text that Xlib cannot read.
std::optional<QString> decodeWindowText(Display* display, Atom type, const QByteArray& bytes,
                                        const WindowTextAtoms& atoms);
