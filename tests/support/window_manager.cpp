#include "support/window_manager.h"

#include "support/event_wait.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace testsupport {

WindowManager::WindowManager(const QByteArrayList& command) {
    if (!x_.connected())
        return;
    before_ = x_.propertyNames(x_.root());
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
    // may first set up its compositing. No application runs yet: the wait has no events to
    // handle.
    const quint32 probe = x_.createWindow(QRect(0, 0, 10, 10));
    x_.map(probe);
    ready_ = waitUntil(
        [&] {
            const quint32 parent = x_.parent(probe);
            return parent != 0 && parent != x_.root();
        },
        60000);
    x_.destroyWindow(probe);
}

WindowManager::~WindowManager() {
    if (pid_) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    for (const QByteArray& property : x_.propertyNames(x_.root()))
        if (!before_.contains(property))
            x_.deleteProperty(x_.root(), property.constData());
}

} // namespace testsupport
