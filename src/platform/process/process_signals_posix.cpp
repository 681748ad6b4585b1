#include "platform/process/process_signals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::array TerminationSignals = {SIGTERM, SIGINT, SIGHUP};

// A signal handler may do next to nothing: it writes one byte, which wakes the event loop.
int wakeFds[2] = {-1, -1};
std::array<struct sigaction, TerminationSignals.size()> previousTermination{};
struct sigaction previousFileSize {};

extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full socket already holds a wake-up; this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

ProcessSignals::ProcessSignals(QObject* parent) : QObject(parent) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previousFileSize);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0)
        return; // the signals keep their default: ending the program as they always did
    notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        while (::read(wakeFds[1], bytes, sizeof bytes) > 0) {
        }
        Q_EMIT terminationRequested();
    });
    struct sigaction request {};
    request.sa_handler = onTerminationSignal;
    sigemptyset(&request.sa_mask);
    request.sa_flags = SA_RESTART;
    for (size_t i = 0; i < TerminationSignals.size(); ++i)
        ::sigaction(TerminationSignals[i], &request, &previousTermination[i]);
}

ProcessSignals::~ProcessSignals() {
    ::sigaction(SIGXFSZ, &previousFileSize, nullptr);
    if (!notifier_)
        return;
    for (size_t i = 0; i < TerminationSignals.size(); ++i)
        ::sigaction(TerminationSignals[i], &previousTermination[i], nullptr);
    delete notifier_;
    for (int& fd : wakeFds)
        ::close(std::exchange(fd, -1));
}
