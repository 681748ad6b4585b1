// Reads one media file's tags the way the player does and says what it found, so that
// bench/tag_memory.sh can measure the peak memory of that one read.
#include "platform/media_reader/taglib_media_tags.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: read_tags FILE\n", stderr);
        return 2;
    }
    const MediaTags tags = TagLibMediaTagReader().read(QString::fromLocal8Bit(argv[1]));
    std::printf("title \"%s\", %lld ms, %lld lyric lines\n", qUtf8Printable(tags.title),
                (long long)tags.durationMs.value_or(-1),
                static_cast<long long>(tags.lyricLines.size()));
    return 0;
}
