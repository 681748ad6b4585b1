#include "platform/media_reader/confinement.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace Confinement {

namespace {

// The address sanitizer reserves terabytes of address space for its shadow memory, which no
// memory limit leaves room for: a sanitized build's reader runs without those two limits.
constexpr bool Sanitized = VELLORA_ADDRESS_SANITIZER;
constexpr bool LimitMemory = !Sanitized;

bool limit(int resource, rlim_t value) {
    const rlimit bound{value, value};
    return ::setrlimit(resource, &bound) == 0;
}

// The calls reading and answering need; any other fails with EPERM. Names the architecture
// does not have are passed over.
const char* const Allowed[] = {
    // reading the descriptor, answering on the socket
    "read", "readv", "pread64", "preadv", "write", "writev", "lseek", "_llseek", "fstat", "fstat64",
    "newfstatat", "fstatat64", "recvmsg", "recvfrom", "sendmsg", "sendto", "close",
    // memory
    "brk", "mmap", "mmap2", "munmap", "mremap", "madvise", "mprotect",
    // the C library's own: time, locks, randomness for the allocator, signals for abort()
    "clock_gettime", "clock_gettime64", "gettimeofday", "futex", "getrandom", "rt_sigprocmask",
    "rt_sigaction", "rt_sigreturn", "sigaltstack", "getpid", "gettid", "sched_yield",
    "restart_syscall",
    // the end
    "exit", "exit_group"};

// The undefined behaviour sanitizer tells readable memory by writing it into a pipe: a
// sanitized build's reader may make pipes, which lead nowhere, and has room for their two
// ends.
const char* const AllowedWhenSanitized[] = {"pipe", "pipe2"};

const char* filter() {
    scmp_filter_ctx context = ::seccomp_init(SCMP_ACT_ERRNO(EPERM));
    if (!context)
        return "no system call filter";
    bool ok = true;
    const auto allow = [&](const char* name) {
        const int call = ::seccomp_syscall_resolve_name(name);
        if (call != __NR_SCMP_ERROR)
            ok = ok && ::seccomp_rule_add(context, SCMP_ACT_ALLOW, call, 0) == 0;
    };
    for (const char* name : Allowed)
        allow(name);
    if (Sanitized)
        for (const char* name : AllowedWhenSanitized)
            allow(name);
    // The stream asks for its descriptor's flags; abort() signals this process, and no other.
    const auto allowWhen = [&](int call, unsigned argument, scmp_datum_t value) {
        const scmp_arg_cmp equal{argument, SCMP_CMP_EQ, value, 0};
        ok = ok && ::seccomp_rule_add_array(context, SCMP_ACT_ALLOW, call, 1, &equal) == 0;
    };
    allowWhen(SCMP_SYS(fcntl), 1, F_GETFL);
    allowWhen(SCMP_SYS(fcntl), 1, F_GETFD);
    allowWhen(SCMP_SYS(tgkill), 0, scmp_datum_t(::getpid()));
    ok = ok && ::seccomp_load(context) == 0;
    ::seccomp_release(context);
    return ok ? nullptr : "the system call filter was not taken";
}

} // namespace

const char* enter(long parent) {
    // Gone with the player, even one that is killed; a player already gone leaves none.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        return "the player is gone";
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return "privileges could not be fixed";
    // Nothing but the socket and the error output stays open.
    for (int fd = 3; fd < 1024; ++fd)
        ::close(fd);
    if ((LimitMemory && (!limit(RLIMIT_AS, AddressSpaceBytes) || !limit(RLIMIT_DATA, DataBytes))) ||
        !limit(RLIMIT_NOFILE, OpenFiles + (Sanitized ? 2 : 0)) || !limit(RLIMIT_FSIZE, 0) ||
        !limit(RLIMIT_NPROC, 0) || !limit(RLIMIT_CORE, 0))
        return "the resource limits were not taken";
    return filter();
}

} // namespace Confinement
