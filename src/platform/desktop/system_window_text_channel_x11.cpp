#include "platform/desktop/system_window_text_channel.h"
#include "platform/desktop/window_text_decoding_x11.h"

#include <QByteArray>
#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

// Xlib after Qt: its macros (None, Bool, Status…) would otherwise clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Windows of other programs come and go while the tree is walked. Xlib's default handler
// ends the process on the first error about a vanished window, so requests run under a
// handler that drops errors, restored once every reply is in.
int dropXError(Display*, XErrorEvent*) {
    return 0;
}

class XErrorsDropped {
public:
    explicit XErrorsDropped(Display* display)
        : display_(display), previous_(XSetErrorHandler(dropXError)) {}
    ~XErrorsDropped() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    XErrorsDropped(const XErrorsDropped&) = delete;
    XErrorsDropped& operator=(const XErrorsDropped&) = delete;

private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
};

struct RawProperty {
    Atom type = 0;
    QByteArray bytes;
};

// Far more than any title or command; a bound keeps a hostile property from costing much.
constexpr long MaxPropertyLongs = 1 << 20;

std::optional<RawProperty> readProperty(Display* display, Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, MaxPropertyLongs, False, AnyPropertyType,
                           &type, &format, &count, &remaining, &data) != Success)
        return std::nullopt;
    std::optional<RawProperty> result;
    if (type != None) {
        result = RawProperty{type, {}};
        if (format == 8 && data)
            result->bytes =
                QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    }
    if (data)
        XFree(data);
    return result;
}

std::vector<Window> childrenTopmostFirst(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
        result.assign(children, children + count);
    if (children)
        XFree(children);
    // The server lists children bottom to top; a search meets the window in front first.
    return {result.rbegin(), result.rend()};
}

} // namespace

struct SystemWindowTextChannel::Connection {
    explicit Connection(Display* opened) : display(opened) {
        const auto atom = [this](const char* name) { return XInternAtom(display, name, False); };
        utf8String = atom("UTF8_STRING");
        compoundText = atom("COMPOUND_TEXT");
        netWmName = atom("_NET_WM_NAME");
        wmState = atom("WM_STATE");
    }
    ~Connection() { XCloseDisplay(display); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    std::optional<QString> text(Window window, Atom property) const {
        const std::optional<RawProperty> raw = readProperty(display, window, property);
        if (!raw)
            return std::nullopt;
        return decodeWindowText(display, raw->type, raw->bytes, {utf8String, compoundText});
    }

    // What a window list shows for the window: the UTF-8 title when it has one.
    std::optional<QString> title(Window window) const {
        if (std::optional<QString> utf8 = text(window, netWmName))
            return utf8;
        return text(window, XA_WM_NAME);
    }

    bool hasWmState(Window window) const {
        return readProperty(display, window, wmState).has_value();
    }

    // A window manager puts each program's window inside a frame of its own; the
    // program's window is the one the manager marked with WM_STATE. Without a manager
    // nothing is marked and the first window with a title stands for the program.
    Window clientWindow(Window topLevel) const {
        std::deque<Window> pending{topLevel};
        Window firstTitled = 0;
        while (!pending.empty()) {
            const Window window = pending.front();
            pending.pop_front();
            if (hasWmState(window))
                return window;
            if (!firstTitled && title(window))
                firstTitled = window;
            for (Window child : childrenTopmostFirst(display, window))
                pending.push_back(child);
        }
        return firstTitled;
    }

    std::optional<QString> windowClass(Window window) const {
        XClassHint hint{nullptr, nullptr};
        if (!XGetClassHint(display, window, &hint))
            return std::nullopt;
        std::optional<QString> result;
        if (hint.res_class)
            result = QString::fromLatin1(hint.res_class);
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        return result;
    }

    void setWmName(Window window, const QString& value) const {
        // ICCCM's STRING is Latin-1; anything beyond it goes as compound text when this
        // locale can encode it, else as UTF-8, which current clients read too.
        const bool latin1 =
            std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < 0x100; });
        if (latin1) {
            const QByteArray bytes = value.toLatin1();
            replaceProperty(window, XA_WM_NAME, XA_STRING, bytes);
            return;
        }
        QByteArray utf8 = value.toUtf8();
        char* list[] = {utf8.data()};
        XTextProperty encoded{nullptr, 0, 0, 0};
        if (Xutf8TextListToTextProperty(display, list, 1, XCompoundTextStyle, &encoded) ==
            Success) {
            XSetWMName(display, window, &encoded);
            XFree(encoded.value);
            return;
        }
        if (encoded.value)
            XFree(encoded.value);
        replaceProperty(window, XA_WM_NAME, utf8String, utf8);
    }

    void replaceProperty(Window window, Atom property, Atom type, const QByteArray& bytes) const {
        XChangeProperty(display, window, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<int>(bytes.size()));
    }

    Display* display;
    Atom utf8String = 0;
    Atom compoundText = 0;
    Atom netWmName = 0;
    Atom wmState = 0;
};

SystemWindowTextChannel::SystemWindowTextChannel() {
    // A connection of our own works whatever Qt platform runs (offscreen included); no
    // X server means no connection, and then every search finds nothing.
    if (Display* display = XOpenDisplay(nullptr))
        connection_ = std::make_unique<Connection>(display);
}

SystemWindowTextChannel::~SystemWindowTextChannel() = default;

WindowTextChannel::Handle SystemWindowTextChannel::findTopLevel(const QString& title) {
    if (!connection_)
        return 0;
    Display* display = connection_->display;
    XErrorsDropped guard(display);
    for (Window topLevel : childrenTopmostFirst(display, DefaultRootWindow(display))) {
        const Window client = connection_->clientWindow(topLevel);
        if (client && connection_->title(client) == title)
            return client;
    }
    return 0;
}

WindowTextChannel::Handle SystemWindowTextChannel::findDirectChild(Handle parent,
                                                                   const QString& windowClass,
                                                                   const QString& text) {
    if (!connection_ || !parent)
        return 0;
    XErrorsDropped guard(connection_->display);
    for (Window child : childrenTopmostFirst(connection_->display, parent)) {
        if (connection_->windowClass(child) == windowClass &&
            connection_->text(child, XA_WM_NAME) == text)
            return child;
    }
    return 0;
}

void SystemWindowTextChannel::setText(Handle window, const QString& text) {
    if (!connection_ || !window)
        return;
    XErrorsDropped guard(connection_->display);
    const Window target = static_cast<Window>(window);
    connection_->replaceProperty(target, connection_->netWmName, connection_->utf8String,
                                 text.toUtf8());
    // WM_NAME last: it is the property receivers watch, so the UTF-8 copy is already there
    // when they look.
    connection_->setWmName(target, text);
}
