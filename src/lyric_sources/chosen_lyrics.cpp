#include "lyric_sources/chosen_lyrics.h"

#include "lyric_sources/lyric_choice.h"
#include "lyric_sources/saved_lyrics.h"

namespace ChosenLyrics {

namespace {

Outcome usersFileWins() {
    return {false, QStringLiteral("这首歌已有您自己的歌词文件，它优先于所选歌词，因此未保存"), {}};
}

} // namespace

Outcome keep(const LyricFile::Places& places, const QStringList& lines) {
    if (LyricChoice::usersFileWins(SavedLyrics::kindAt(places.beside),
                                   SavedLyrics::kindAt(places.inUserFolder)))
        return usersFileWins();
    const SavedLyrics::Result saved = SavedLyrics::save(places, lines, SavedLyrics::Mark::Chosen);
    switch (saved.outcome) {
    case SavedLyrics::Outcome::Saved:
        return {true, QStringLiteral("已保存所选歌词：%1").arg(saved.path), lines};
    case SavedLyrics::Outcome::UserFileKept:
        return usersFileWins();
    case SavedLyrics::Outcome::Failed:
        break;
    }
    return {false, QStringLiteral("无法保存歌词：媒体所在文件夹和歌词文件夹都不能写入"), {}};
}

Outcome keepFile(const LyricFile::Places& places, const QString& lyricFile) {
    const std::optional<QStringList> lines = LyricFile::loadFile(lyricFile);
    if (!lines || lines->isEmpty())
        return {false, QStringLiteral("无法读取该歌词文件"), {}};
    return keep(places, *lines);
}

Outcome removeSaved(const LyricFile::Places& places) {
    bool removed = false;
    for (const QString& path : {places.beside, places.inUserFolder})
        removed = SavedLyrics::removeOwnFile(path) || removed;
    if (!removed)
        return {false, QStringLiteral("没有本程序保存的歌词可删除"), {}};
    return {true, QStringLiteral("已删除保存的歌词"), {}};
}

} // namespace ChosenLyrics
