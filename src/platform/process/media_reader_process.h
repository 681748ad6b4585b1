#pragma once

#include "lyric_sources/media_tags.h"

#include <QString>
#include <chrono>
#include <memory>

// Reads tags in the media reader program (platform/media_reader/), a process of its own held
// to limits the kernel keeps, so that no file, however shaped, can make the player's own
// process parse it: the player opens the file and hands over only the open descriptor.
//
// The reader starts on the first read and serves the reads after it. An answer that does not
// come within answerTime ends it, and a reader that ends for any reason (out of memory, a
// crash, the watchdog) is started again for the next file; a file that ended a reader reads as
// one without tags for the rest of the run and is not handed over again, and the player says
// once on standard error which file it was and why.
class MediaReaderProcess final : public MediaTagReader {
public:
    struct Options {
        // The reader program; empty: found as platform/process/program_files.h says.
        QString program;
        std::chrono::milliseconds answerTime = std::chrono::seconds(5);
    };

    MediaReaderProcess();
    explicit MediaReaderProcess(Options options);
    // Closes the reader's socket, which ends it, and waits for its end.
    ~MediaReaderProcess() override;
    MediaReaderProcess(const MediaReaderProcess&) = delete;
    MediaReaderProcess& operator=(const MediaReaderProcess&) = delete;

    // From any thread, one read at a time.
    MediaTags read(const QString& path) const override;

private:
    struct State;
    std::unique_ptr<State> state_;
};
