#include "lyric_sources/lyric_choice.h"

#include "lyrics/lyric_line_index.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <limits>

namespace LyricChoice {

Fields fieldsFor(const MediaTags* tags, const QString& mediaPath) {
    if (tags && !tags->title.trimmed().isEmpty())
        return {tags->title, tags->artist, tags->album};
    const QString name = QFileInfo(mediaPath).completeBaseName();
    if (const std::optional<Lrclib::ArtistAndTitle> parts = Lrclib::splitFileName(name))
        return {parts->title, parts->artist, {}};
    return {name, {}, {}};
}

Lrclib::Track queryFrom(const Fields& fields) {
    return {fields.title.trimmed(), fields.artist.trimmed(), fields.album.trimmed(), std::nullopt};
}

QString kindText(Kind kind) {
    switch (kind) {
    case Kind::Timed:
        return QStringLiteral("同步");
    case Kind::Plain:
        return QStringLiteral("纯文本");
    case Kind::Instrumental:
        return QStringLiteral("纯音乐");
    }
    return {};
}

std::vector<Result> ordered(std::vector<Lrclib::Record> records,
                            std::optional<qint64> trackDurationMs) {
    std::vector<Result> results;
    for (Lrclib::Record& record : records) {
        Lrclib::Lyrics lyrics = Lrclib::lyricsOf(record);
        switch (lyrics.kind) {
        case Lrclib::Lyrics::Kind::None:
            continue;
        case Lrclib::Lyrics::Kind::Synced:
            results.push_back({std::move(record), Kind::Timed, std::move(lyrics.lines)});
            break;
        case Lrclib::Lyrics::Kind::Plain:
            results.push_back({std::move(record), Kind::Plain, std::move(lyrics.lines)});
            break;
        case Lrclib::Lyrics::Kind::Instrumental:
            results.push_back({std::move(record), Kind::Instrumental, {}});
            break;
        }
    }
    const auto distance = [&](const Result& result) {
        if (!trackDurationMs || !result.record.durationSeconds)
            return std::numeric_limits<double>::infinity();
        return std::abs(*result.record.durationSeconds - *trackDurationMs / 1000.0);
    };
    std::stable_sort(results.begin(), results.end(), [&](const Result& a, const Result& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return distance(a) < distance(b);
    });
    return results;
}

QStringList preview(const Result& result) {
    if (result.kind != Kind::Timed)
        return result.lines;
    const LyricLineIndex index(result.lines);
    QStringList shown;
    for (int row = 0; row < index.size(); ++row) {
        const std::optional<QString> time = index.firstTag(row);
        // Header lines ([ar:…], the program's own) carry no time and show nothing.
        if (time && !time->isEmpty() && time->front().isDigit())
            shown.append(*time + QStringLiteral("  ") + index.lyricText(row));
    }
    return shown;
}

QString lengthText(std::optional<qint64> milliseconds) {
    if (!milliseconds || *milliseconds < 0)
        return {};
    const qint64 seconds = (*milliseconds + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

InUse inUseOf(SavedLyrics::FileKind kind) {
    switch (kind) {
    case SavedLyrics::FileKind::None:
        break;
    case SavedLyrics::FileKind::Users:
        return InUse::UsersFile;
    case SavedLyrics::FileKind::Found:
        return InUse::Found;
    case SavedLyrics::FileKind::Chosen:
        return InUse::Chosen;
    }
    return InUse::None;
}

} // namespace

InUse inUse(SavedLyrics::FileKind beside, SavedLyrics::FileKind inUserFolder, bool tagLyrics) {
    if (beside != SavedLyrics::FileKind::None)
        return inUseOf(beside);
    if (inUserFolder != SavedLyrics::FileKind::None)
        return inUseOf(inUserFolder);
    return tagLyrics ? InUse::Tags : InUse::None;
}

QString inUseText(InUse inUse) {
    switch (inUse) {
    case InUse::None:
        return QStringLiteral("正在使用：无歌词");
    case InUse::Tags:
        return QStringLiteral("正在使用：标签中的歌词");
    case InUse::Found:
        return QStringLiteral("正在使用：自动找到并保存的歌词");
    case InUse::Chosen:
        return QStringLiteral("正在使用：您选择的歌词");
    case InUse::UsersFile:
        return QStringLiteral("正在使用：您自己的歌词文件（不会被替换）");
    }
    return {};
}

bool usersFileWins(SavedLyrics::FileKind beside, SavedLyrics::FileKind inUserFolder) {
    return beside == SavedLyrics::FileKind::Users || inUserFolder == SavedLyrics::FileKind::Users;
}

} // namespace LyricChoice
