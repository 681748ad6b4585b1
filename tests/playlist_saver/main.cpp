// Saves two full playlists into one data.dat in turn until it is killed.
//   playlist_saver PATH MICROSECONDS  kills itself once it has used that much CPU time saving
//   playlist_saver PATH measure       saves once and prints the CPU time that took
// CPU time runs alike on an idle and a loaded machine, so a schedule of it cuts the saves at
// the same points of their work wherever the test runs.
#include "playlists.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <sys/time.h>

namespace {

long long cpuMicroseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto micro = [](const timeval& t) { return t.tv_sec * 1'000'000LL + t.tv_usec; };
    return micro(usage.ru_utime) + micro(usage.ru_stime);
}

void killSelf(int) {
    std::signal(SIGKILL, SIG_DFL);
    ::raise(SIGKILL);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const PlaylistEntries playlists[] = {fullPlaylist(0), fullPlaylist(1)};
    if (std::strcmp(argv[2], "measure") == 0) {
        const long long before = cpuMicroseconds();
        PlaylistFile::save(path, playlists[1]);
        std::printf("%lld\n", cpuMicroseconds() - before);
        return 0;
    }
    const long long budget = std::atoll(argv[2]);
    std::signal(SIGPROF, killSelf);
    itimerval kill{};
    kill.it_value.tv_sec = budget / 1'000'000;
    kill.it_value.tv_usec = budget % 1'000'000;
    setitimer(ITIMER_PROF, &kill, nullptr);
    for (int turn = 0;; turn ^= 1)
        PlaylistFile::save(path, playlists[turn]);
}
