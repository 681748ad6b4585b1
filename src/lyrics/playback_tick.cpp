#include "lyrics/playback_tick.h"

#include "lyrics/lyric_line_index.h"
#include "player/media_engine.h"

namespace PlaybackTick {

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

void run(const MediaEngine& engine, const LyricLineIndex& lines, Labels& labels,
         const std::function<void(const QString&)>& drawLyric) {
    if (const auto status = statusText(engine.playState()))
        labels.status = *status;

    const auto position = engine.currentPositionString();
    const auto duration = engine.durationString();
    if (position && duration)
        labels.time = *position + u'/' + *duration;

    // The engine's position changes only between ticks, so one read serves every line.
    if (!position)
        return;
    const std::vector<int> rows = lines.rowsContaining(*position);
    if (rows.empty())
        return;
    // Every matching line is handed over in turn while playing; of the labels each matching
    // line would overwrite, only what the last line to set them leaves can be seen.
    if (labels.status == PlayingStatus) {
        for (int row : rows)
            drawLyric(lines.lyricText(row));
    }
    labels.lyric = lines.lyricText(rows.back());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row + 1 >= lines.size())
            continue;
        if (const auto tag = lines.firstTag(*row + 1)) {
            labels.nextLineTag = *tag;
            break;
        }
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (const auto tag = lines.firstTag(*row)) {
            labels.currentTag = *tag;
            break;
        }
    }
}

} // namespace PlaybackTick
