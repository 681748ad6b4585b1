// Starts a program and reports how long it took until a window with the given title was
// viewable on the X server: "<milliseconds> <pid>". The program is left running.
// Usage: first_window TITLE TIMEOUT_MS -- PROGRAM [ARGS...]
//
// Polls the window tree from one connection every millisecond: cheap, and unlike a loop of
// spawned xwininfo processes it takes no processor away from the program being timed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

bool titled(Display* display, Window window, const char* title) {
    char* name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return match;
}

// A viewable window with the title anywhere below the root (a window manager's frame holds
// the program's own window one level down).
bool viewableWindow(Display* display, Window parent, const char* title, int depth) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        found = titled(display, children[i], title) ||
                (depth > 0 && viewableWindow(display, children[i], title, depth - 1));
    }
    if (children)
        XFree(children);
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0; // windows vanish while the tree is walked
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr, "usage: %s TITLE TIMEOUT_MS -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const char* title = argv[1];
    const auto timeout = std::chrono::milliseconds(std::stol(argv[2]));
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[4], argv + 4);
        _exit(127);
    }
    while (std::chrono::steady_clock::now() - start < timeout) {
        if (viewableWindow(display, DefaultRootWindow(display), title, 2)) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            std::printf("%.1f %d\n", elapsed.count() / 1000.0, int(pid));
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("timeout %d\n", int(pid));
    return 1;
}
