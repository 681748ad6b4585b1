#include "support/window_manager.h"

#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {

namespace {

QList<xcb_atom_t> rootProperties(xcb_connection_t* x, xcb_window_t root) {
    QList<xcb_atom_t> atoms;
    if (xcb_list_properties_reply_t* reply =
            xcb_list_properties_reply(x, xcb_list_properties(x, root), nullptr)) {
        const xcb_atom_t* listed = xcb_list_properties_atoms(reply);
        atoms = QList<xcb_atom_t>(listed, listed + xcb_list_properties_atoms_length(reply));
        std::free(reply);
    }
    return atoms;
}

} // namespace

WindowManager::WindowManager(const QByteArrayList& command) : x_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(x_))
        return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
    before_ = rootProperties(x_, root_);
    QByteArrayList words = command;
    std::vector<char*> arguments;
    for (QByteArray& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);
    if (posix_spawnp(&pid_, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0) {
        pid_ = 0;
        return;
    }
    // The manager is ready once it takes a new window into a frame of its own; a heavy one
    // may first set up its compositing.
    const xcb_window_t probe = xcb_generate_id(x_);
    xcb_create_window(x_, XCB_COPY_FROM_PARENT, probe, root_, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(x_, probe);
    xcb_flush(x_);
    for (int tries = 0; tries < 60000 && !ready_; ++tries) {
        ready_ = framed(probe);
        if (!ready_)
            usleep(1000);
    }
    xcb_destroy_window(x_, probe);
    sync();
}

WindowManager::~WindowManager() {
    if (pid_) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (!xcb_connection_has_error(x_)) {
        for (xcb_atom_t property : rootProperties(x_, root_))
            if (!before_.contains(property))
                xcb_delete_property(x_, root_, property);
        sync();
    }
    xcb_disconnect(x_);
}

bool WindowManager::framed(xcb_window_t window) const {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x_, xcb_query_tree(x_, window), nullptr);
    const bool inFrame = tree && tree->parent != root_;
    std::free(tree);
    return inFrame;
}

void WindowManager::sync() {
    std::free(xcb_get_input_focus_reply(x_, xcb_get_input_focus(x_), nullptr));
}

} // namespace testsupport
