#include "player/playlist_additions.h"

#include "player/playlist_file.h"

PlaylistAddition planAddition(int currentCount, const QStringList& paths) {
    PlaylistAddition addition;
    int room = PlaylistFile::MaxEntries - currentCount;
    for (const QString& path : paths) {
        if (path.contains(u'\r') || path.contains(u'\n')) {
            ++addition.withLineBreaks;
        } else if (room > 0) {
            addition.accepted.append(path);
            --room;
        } else {
            ++addition.overCapacity;
        }
    }
    return addition;
}

QString PlaylistAddition::problem() const {
    QStringList reasons;
    if (withLineBreaks > 0)
        reasons << QStringLiteral("%1 个文件的路径中含有换行符，无法保存在播放列表中，未添加。")
                       .arg(withLineBreaks);
    if (overCapacity > 0)
        reasons << QStringLiteral("播放列表最多容纳 %1 首歌曲，已满，其余 %2 个文件未添加。")
                       .arg(PlaylistFile::MaxEntries)
                       .arg(overCapacity);
    return reasons.join(u'\n');
}
