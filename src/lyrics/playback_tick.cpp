#include "lyrics/playback_tick.h"

#include "player/media_engine.h"

#include <algorithm>

namespace PlaybackTick {

namespace {

// Plain substring containment. The tick runs it on every stored line 100 times a second;
// for a needle as short as "mm:ss" this loop costs less than half of QString::contains.
bool containsText(QStringView text, QStringView needle) {
    const qsizetype length = needle.size();
    if (length == 0)
        return true;
    const QChar* chars = text.data();
    const QChar first = needle.front();
    const QChar last = needle.back();
    for (qsizetype i = 0; i + length <= text.size(); ++i) {
        if (chars[i] == first && chars[i + length - 1] == last &&
            std::equal(chars + i, chars + i + length, needle.data()))
            return true;
    }
    return false;
}

} // namespace

std::optional<QString> statusText(int playState) {
    switch (playState) {
    case PlayState::Undefined:
        return QStringLiteral("还未执行任何操作");
    case PlayState::Stopped:
        return QStringLiteral("停止");
    case PlayState::Paused:
        return QStringLiteral("暂停");
    case PlayState::Playing:
        return QString::fromUtf16(PlayingStatus);
    case PlayState::Buffering:
        return QStringLiteral("正在缓冲");
    case PlayState::Transitioning:
        return QStringLiteral("正在连接");
    case PlayState::Ready:
        return QStringLiteral("准备就绪");
    default:
        return std::nullopt;
    }
}

QString lyricText(const QString& line) {
    return line.mid(line.lastIndexOf(u']') + 1);
}

std::optional<QString> firstTag(const QString& line) {
    const qsizetype open = line.indexOf(u'[') + 1;  // 1-based, 0 when missing
    const qsizetype close = line.indexOf(u']') + 1; // 1-based, 0 when missing
    const qsizetype length = close - open - 1;
    if (length < 0)
        return std::nullopt;
    return line.mid(open, length);
}

void run(const MediaEngine& engine, const QStringList& lines, Labels& labels,
         const std::function<void(const QString&)>& drawLyric) {
    if (const auto status = statusText(engine.playState()))
        labels.status = *status;

    const auto position = engine.currentPositionString();
    const auto duration = engine.durationString();
    if (position && duration)
        labels.time = *position + u'/' + *duration;

    const qsizetype count = lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& line = lines.at(i);
        // The position is read afresh for every line, as the engine moves on meanwhile.
        const auto now = engine.currentPositionString();
        if (!now || !containsText(line, *now))
            continue;
        labels.lyric = lyricText(line);
        if (labels.status == PlayingStatus)
            drawLyric(labels.lyric);
        if (i + 1 < count) {
            if (const auto tag = firstTag(lines.at(i + 1)))
                labels.nextLineTag = *tag;
        }
        if (const auto tag = firstTag(line))
            labels.currentTag = *tag;
    }
}

} // namespace PlaybackTick
