#include "lyrics/playback_tick.h"

#include "lyrics/lyric_line_index.h"

#include <algorithm>
#include <cmath>

namespace PlaybackTick {

Reading Reading::of(const MediaEngine& engine) {
    Reading reading;
    reading.state = engine.playState();
    reading.hasMedia = engine.hasMedia();
    if (reading.hasMedia) {
        reading.position = engine.position();
        reading.duration = engine.duration();
        reading.rate = engine.rate();
    }
    return reading;
}

QString timeText(qint64 milliseconds) {
    const qint64 whole = std::max<qint64>(milliseconds, 0) / 1000;
    return QStringLiteral("%1:%2")
        .arg(whole / 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

std::optional<QString> statusText(PlayState state) {
    switch (state) {
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

int run(const Reading& reading, const LyricLineIndex& lines, Labels& labels,
        const std::function<void(const QString&)>& drawLyric) {
    if (const auto status = statusText(reading.state))
        labels.status = *status;
    // Without a current media there is no time to show or to match.
    if (!reading.hasMedia)
        return -1;
    const QString position = timeText(reading.position);
    labels.time = position + u'/' + timeText(reading.duration);
    return showLines(position, lines, labels, drawLyric);
}

int showLines(const QString& positionText, const LyricLineIndex& lines, Labels& labels,
              const std::function<void(const QString&)>& drawLyric) {
    const std::vector<int> rows = lines.rowsContaining(positionText);
    if (rows.empty())
        return -1;
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
    return rows.back();
}

std::optional<int> untilNextSecond(const Reading& reading) {
    if (!reading.hasMedia || !(reading.rate > 0) || !std::isfinite(reading.rate))
        return std::nullopt;
    const qint64 position = std::max<qint64>(reading.position, 0);
    const qint64 left = (position / 1000 + 1) * 1000 - position;
    const double milliseconds = std::ceil(double(left) / reading.rate);
    // At most an hour, so a crawling rate cannot overflow the timer.
    return int(std::clamp(milliseconds, 1.0, 3600.0 * 1000));
}

} // namespace PlaybackTick
