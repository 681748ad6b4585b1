#pragma once

#include <thread>

// The desktop's font configuration is read the first time any text asks for a font: a few
// milliseconds that the main window's first text would wait for. Made at the top of main,
// this has it read on a thread of its own while the window system connects; what was read
// is kept for every later reader, Qt included. The thread touches nothing of Qt, which
// takes the first thread that uses it for its main thread.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread thread_;
};
