// A pointer device for tests on Wayland compositors, through whichever protocol for made-up
// input the compositor offers: the wlroots virtual pointer (sway and other wlroots
// compositors) or KWin's fake input. The compositor moves its cursor and sends the clicks to
// whatever surface lies beneath, as it would a mouse's.
//
//   wayland_pointer WIDTH HEIGHT
//
// Reads one command a line from standard input and answers "ok" once the compositor has
// handled it (or "error" and ends):
//   move X Y        the cursor to X, Y of a layout WIDTH × HEIGHT
//   press | release the left button
//   key CODE...     presses the keys (Linux input codes) in order and releases them in
//                   reverse, as a shortcut is typed; through KWin's fake input only
// Ends when standard input closes.
#include <org-kde-kwin-fake-input-client-protocol.h>
#include <wlr-virtual-pointer-unstable-v1-client-protocol.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <linux/input-event-codes.h>
#include <memory>
#include <vector>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
org_kde_kwin_fake_input* fakeInput = nullptr;
uint32_t fakeInputVersion = 0;
wl_seat* seat = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    // Absolute moves came with version 3, keys with 4.
    else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3) {
        fakeInputVersion = version < 4 ? version : 4;
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, fakeInputVersion));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void globalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemoved};

uint32_t now() {
    timespec clock{};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    return uint32_t(clock.tv_sec * 1000 + clock.tv_nsec / 1000000);
}

// One device, whichever protocol it speaks.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual void move(unsigned x, unsigned y) = 0;
    virtual void button(wl_pointer_button_state state) = 0;
    // Whether the device could type them.
    virtual bool keys(const std::vector<uint32_t>&) { return false; }
};

class VirtualPointer final : public Pointer {
public:
    VirtualPointer(uint32_t width, uint32_t height)
        : pointer_(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat)),
          width_(width), height_(height) {}
    // No destroy request: wlroots 0.15 (sway 1.7) can crash handling it, while a client that
    // goes has its pointer taken away safely.

    void move(unsigned x, unsigned y) override {
        zwlr_virtual_pointer_v1_motion_absolute(pointer_, now(), x, y, width_, height_);
        zwlr_virtual_pointer_v1_frame(pointer_);
    }
    void button(wl_pointer_button_state state) override {
        zwlr_virtual_pointer_v1_button(pointer_, now(), BTN_LEFT, state);
        zwlr_virtual_pointer_v1_frame(pointer_);
    }

private:
    zwlr_virtual_pointer_v1* pointer_;
    uint32_t width_;
    uint32_t height_;
};

// KWin takes no event from a device whose client has not said who it is; its coordinates
// are the layout's own.
class FakeInput final : public Pointer {
public:
    FakeInput() {
        org_kde_kwin_fake_input_authenticate(fakeInput, "wayland_pointer",
                                             "the tests' clicks on the desktop lyric");
    }

    void move(unsigned x, unsigned y) override {
        org_kde_kwin_fake_input_pointer_motion_absolute(fakeInput, wl_fixed_from_int(int(x)),
                                                        wl_fixed_from_int(int(y)));
    }
    void button(wl_pointer_button_state state) override {
        org_kde_kwin_fake_input_button(fakeInput, BTN_LEFT, state);
    }
    bool keys(const std::vector<uint32_t>& codes) override {
        if (fakeInputVersion < 4)
            return false;
        for (const uint32_t code : codes)
            org_kde_kwin_fake_input_keyboard_key(fakeInput, code, WL_KEYBOARD_KEY_STATE_PRESSED);
        for (auto code = codes.rbegin(); code != codes.rend(); ++code)
            org_kde_kwin_fake_input_keyboard_key(fakeInput, *code, WL_KEYBOARD_KEY_STATE_RELEASED);
        return true;
    }
};

// The numbers after "key".
std::vector<uint32_t> keyCodes(const char* line) {
    std::vector<uint32_t> codes;
    for (char* end = nullptr;; line = end) {
        const unsigned long code = std::strtoul(line, &end, 10);
        if (end == line)
            return codes;
        codes.push_back(uint32_t(code));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: wayland_pointer WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const auto width = uint32_t(std::atoi(argv[1]));
    const auto height = uint32_t(std::atoi(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("wayland_pointer: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    std::unique_ptr<Pointer> pointer;
    if (manager)
        pointer = std::make_unique<VirtualPointer>(width, height);
    else if (fakeInput)
        pointer = std::make_unique<FakeInput>();
    if (!pointer) {
        std::fputs("wayland_pointer: the compositor offers no made-up pointer\n", stderr);
        return 1;
    }
    wl_display_roundtrip(display);

    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned x = 0;
        unsigned y = 0;
        if (std::sscanf(line, "move %u %u", &x, &y) == 2)
            pointer->move(x, y);
        else if (std::strncmp(line, "press", 5) == 0)
            pointer->button(WL_POINTER_BUTTON_STATE_PRESSED);
        else if (std::strncmp(line, "release", 7) == 0)
            pointer->button(WL_POINTER_BUTTON_STATE_RELEASED);
        else if (std::strncmp(line, "key ", 4) == 0) {
            const std::vector<uint32_t> codes = keyCodes(line + 4);
            if (codes.empty() || !pointer->keys(codes)) {
                std::fputs("wayland_pointer: no keys typed\n", stderr);
                std::puts("error");
                return 1;
            }
        } else
            continue;
        const bool handled = wl_display_roundtrip(display) >= 0;
        std::puts(handled ? "ok" : "error");
        std::fflush(stdout);
        if (!handled)
            return 1;
    }
    wl_display_disconnect(display);
    return 0;
}
