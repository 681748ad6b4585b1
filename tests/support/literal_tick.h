#pragma once

#include "lyrics/playback_tick.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace testsupport {

// The playback tick's line scan done the plain way: every stored line examined in order for
// the position text, each match overwriting the labels. The indexed tick must come out the
// same as this for every store and position text.
inline void literalLyricScan(const QStringList& lines, const std::optional<QString>& position,
                             PlaybackTick::Labels& labels,
                             const std::function<void(const QString&)>& drawLyric) {
    const auto firstTag = [](const QString& line) -> std::optional<QString> {
        const qsizetype open = line.indexOf(u'[') + 1;
        const qsizetype length = line.indexOf(u']') + 1 - open - 1;
        return length < 0 ? std::nullopt : std::optional(line.mid(open, length));
    };
    for (qsizetype i = 0; position && i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (!line.contains(*position))
            continue;
        labels.lyric = line.mid(line.lastIndexOf(u']') + 1);
        if (labels.status == PlaybackTick::PlayingStatus)
            drawLyric(labels.lyric);
        if (i + 1 < lines.size()) {
            if (const auto tag = firstTag(lines.at(i + 1)))
                labels.nextLineTag = *tag;
        }
        if (const auto tag = firstTag(line))
            labels.currentTag = *tag;
    }
}

} // namespace testsupport
