// The media reader: reads the tags of the media files the player hands it, one open
// descriptor at a time, confined as confinement.h says. The player starts it with the socket
// as standard input and its own process id as the one argument.
#include "platform/media_reader/confinement.h"
#include "platform/media_reader/media_reader_service.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("vellora-media-reader: started by the player only\n", stderr);
        return 2;
    }
    // One file's tags after another take the same memory again: the heap keeps what a read
    // freed, up to a few MiB, instead of giving it back and faulting it in anew for each file;
    // a large block (a cover of megabytes) comes and goes on its own.
    ::mallopt(M_TRIM_THRESHOLD, 8 * 1024 * 1024);
    ::mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    if (const char* failure = Confinement::enter(std::strtol(argv[1], nullptr, 10))) {
        std::fprintf(stderr, "vellora-media-reader: reads nothing unconfined: %s\n", failure);
        return 2;
    }
    // Ended at once: nothing is left to tidy, and the filter allows nothing more.
    ::_exit(MediaReaderService::serve(STDIN_FILENO));
}
