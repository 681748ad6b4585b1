// Window titles as the text command channel reads them from other programs' windows: any of
// the types it decodes, any bytes. Compound text is the one Xlib parses itself, escape
// sequences, directions and all.
#include "platform/desktop/window_text_decoding_x11.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Xlib after Qt: its macros (None, Bool, Status…) would otherwise clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* display = nullptr;
WindowTextAtoms atoms;
Atom undecodedType = 0;

// Xlib is not instrumented, so the fuzzer cannot see which of its converters an input
// reached. Counting the decoded characters by script, in counters libFuzzer reads as
// coverage, lets it keep the inputs that reach a character set it had not decoded yet.
__attribute__((section("__libfuzzer_extra_counters"))) uint8_t scriptsDecoded[QChar::ScriptCount];

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The player decodes in the user's locale, which Qt takes from the environment; in a
    // UTF-8 one Xlib converts every character set that compound text can switch to.
    std::setlocale(LC_ALL, "C.UTF-8");
    display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("window_text_fuzz needs an X server (DISPLAY)\n", stderr);
        std::exit(1);
    }
    atoms.utf8String = XInternAtom(display, "UTF8_STRING", False);
    atoms.compoundText = XInternAtom(display, "COMPOUND_TEXT", False);
    undecodedType = XInternAtom(display, "TEXT", False);
    return 0;
}

// The first byte picks the property's type: 1 UTF-8, 2 STRING, 3 a type the channel does
// not decode, any other compound text, which gets most inputs for being the one parsed.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const Atom types[] = {atoms.compoundText, atoms.utf8String, XA_STRING, undecodedType};
    const Atom type = data[0] < std::size(types) ? types[data[0]] : atoms.compoundText;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const std::optional<QString> text = decodeWindowText(display, type, bytes, atoms);
    if (text && type == atoms.compoundText)
        for (QChar c : *text)
            ++scriptsDecoded[c.script()];
    return 0;
}
