// A lyric file of any bytes, then playback ticks at any position texts: the indexed tick
// shows and draws exactly what a plain scan of every line would.
#include "fail.h"
#include "files/text_file.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"
#include "lyrics/playback_tick.h"
#include "support/literal_tick.h"

#include <cstdint>

// Position texts separated by 0x01, then a NUL, then the lyric file's bytes. A text that is
// just 0x02 stands for an engine with no current media.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    if (split < 0 || size > 4000) // lines stay shorter than what the labels cut
        return 0;
    const QStringList lines = decodeTextLines(input.sliced(split + 1), LyricFile::MaxLines);
    const LyricLineIndex index(lines);

    PlaybackTick::Labels indexed{QStringLiteral("正在播放"),
                                 QStringLiteral("Label5"),
                                 {},
                                 QStringLiteral("Label4"),
                                 QStringLiteral("Label6")};
    PlaybackTick::Labels literal = indexed;
    for (const QByteArray& position : input.first(split).toByteArray().split('\x01')) {
        const PlayState state = position.size() % 3 == 0 ? PlayState::Paused : PlayState::Playing;
        const std::optional<QString> text =
            position == "\x02" ? std::nullopt : std::optional(QString::fromLatin1(position));
        QStringList indexedDraws;
        QStringList literalDraws;
        for (PlaybackTick::Labels* labels : {&indexed, &literal}) {
            if (const auto status = PlaybackTick::statusText(state))
                labels->status = *status;
        }
        if (text)
            PlaybackTick::showLines(*text, index, indexed,
                                    [&](const QString& t) { indexedDraws << t; });
        testsupport::literalLyricScan(lines, text, literal,
                                      [&](const QString& t) { literalDraws << t; });
        if (indexedDraws != literalDraws)
            fail("the lines drawn differ from a plain scan");
        if (indexed.lyric != literal.lyric || indexed.nextLineTag != literal.nextLineTag ||
            indexed.currentTag != literal.currentTag)
            fail("the labels differ from a plain scan");
    }
    return 0;
}
