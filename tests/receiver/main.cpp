// Stands in for the other program that takes lyric timing commands: a top-level window
// titled "lumioramusicbox" holding a text box (class "ThunderRT6TextBox", text "TextCmd").
// Every new box text other than "TextCmd" is appended as a line to the log file, after
// the box has been given "TextCmd" back (so a test that sees the line may send again).
//
//   lyric_command_receiver LOG [--title TEXT] [--grandchild] [--initial-text TEXT]
//                              [--no-restore]
//
//   --title           another title for the top-level window
//   --grandchild      the box sits inside a container window instead of directly in the
//                     top-level window
//   --initial-text    the box starts with another text than "TextCmd"
//   --no-restore      the box keeps each command instead of going back to "TextCmd"
//
// Prints "ready TOP BOX" (decimal window ids) once the window is mapped, and ends when its
// standard input closes, so it never outlives the test that started it.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* Title = "lumioramusicbox";
constexpr const char* BoxClass = "ThunderRT6TextBox";
constexpr const char* BoxText = "TextCmd";

struct Options {
    std::string logPath;
    std::string title = Title;
    std::string initialText = BoxText;
    bool grandchild = false;
    bool restore = true;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--grandchild")
            options.grandchild = true;
        else if (arg == "--no-restore")
            options.restore = false;
        else if (arg == "--title" && i + 1 < argc)
            options.title = argv[++i];
        else if (arg == "--initial-text" && i + 1 < argc)
            options.initialText = argv[++i];
        else if (options.logPath.empty() && arg.rfind("--", 0) != 0)
            options.logPath = arg;
        else
            return false;
    }
    return !options.logPath.empty();
}

std::string wmName(Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 1 << 20, False, AnyPropertyType, &type,
                           &format, &count, &remaining, &data) == Success &&
        data && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return text;
}

void setTitle(Display* display, Window window, const char* text) {
    XStoreName(display, window, text);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text),
                    static_cast<int>(std::strlen(text)));
}

void appendLine(const std::string& path, const std::string& line) {
    if (std::FILE* log = std::fopen(path.c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), log);
        std::fputc('\n', log);
        std::fclose(log);
    }
}

void waitForMap(Display* display, Window window) {
    XEvent event;
    do
        XWindowEvent(display, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s LOG [--title TEXT] [--grandchild] "
                     "[--initial-text TEXT] [--no-restore]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }

    const Window root = DefaultRootWindow(display);
    const Window top = XCreateSimpleWindow(display, root, 0, 0, 240, 80, 0, 0, 0);
    setTitle(display, top, options.title.c_str());
    Window boxParent = top;
    if (options.grandchild) {
        boxParent = XCreateSimpleWindow(display, top, 0, 0, 240, 80, 0, 0, 0);
        XMapWindow(display, boxParent);
    }
    const Window box = XCreateSimpleWindow(display, boxParent, 10, 10, 200, 24, 0, 0, 0);
    char boxName[] = "textcmd";
    char boxClass[sizeof("ThunderRT6TextBox")];
    std::strcpy(boxClass, BoxClass);
    XClassHint hint{boxName, boxClass};
    XSetClassHint(display, box, &hint);
    XStoreName(display, box, options.initialText.c_str());
    XSelectInput(display, box, PropertyChangeMask);
    XSelectInput(display, top, StructureNotifyMask);
    XMapWindow(display, box);
    XMapWindow(display, top);
    waitForMap(display, top);

    std::printf("ready %lu %lu\n", top, box);
    std::fflush(stdout);

    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != PropertyNotify || event.xproperty.atom != XA_WM_NAME ||
                event.xproperty.state != PropertyNewValue)
                continue;
            const std::string text = wmName(display, box);
            if (text == BoxText)
                continue;
            if (options.restore) {
                XStoreName(display, box, BoxText);
                XSync(display, False);
            }
            appendLine(options.logPath, text);
        }
        if (poll(watched, 2, -1) < 0)
            continue;
        if (watched[1].revents) {
            char buffer[256];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
