#include "lyric_sources/lrclib_protocol.h"

#include "lyric_sources/embedded_lyrics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <algorithm>
#include <cmath>

namespace Lrclib {

namespace {

using QueryItems = QList<std::pair<QLatin1StringView, QString>>;

// Each value fully percent-encoded: QUrlQuery leaves '+' as it is, and servers read a bare
// '+' in a query as a space, so "C++" would arrive as "C  ".
QUrl endpoint(const QUrl& base, const QString& path, const QueryItems& items) {
    QUrl url = base;
    QString basePath = url.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url.setPath(basePath + path);
    QByteArray query;
    for (const auto& [key, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query.append(key.data(), key.size());
        query += '=';
        query += value.toUtf8().toPercentEncoding();
    }
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

qint64 durationGap(const Track& track, const Record& record) {
    if (!track.durationMs || !record.durationSeconds)
        return 0;
    return std::abs(std::llround(*record.durationSeconds * 1000.0) - *track.durationMs);
}

QString text(const QJsonObject& object, QLatin1StringView key) {
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : QString();
}

std::optional<Record> recordFrom(const QJsonObject& object) {
    const QJsonValue id = object.value(QLatin1StringView("id"));
    if (!id.isDouble())
        return std::nullopt;
    Record record;
    record.id = id.toInteger();
    record.trackName = text(object, QLatin1StringView("trackName"));
    record.artistName = text(object, QLatin1StringView("artistName"));
    record.albumName = text(object, QLatin1StringView("albumName"));
    const QJsonValue duration = object.value(QLatin1StringView("duration"));
    // No recording lasts a billion seconds; a larger number is as good as none.
    if (duration.isDouble() && std::abs(duration.toDouble()) < 1e9)
        record.durationSeconds = duration.toDouble();
    record.instrumental = object.value(QLatin1StringView("instrumental")).toBool();
    record.plainLyrics = text(object, QLatin1StringView("plainLyrics"));
    record.syncedLyrics = text(object, QLatin1StringView("syncedLyrics"));
    return record;
}

bool fits(const Track& track, const Record& record) {
    if (!track.durationMs)
        return true;
    // In whole milliseconds, so a record exactly at the tolerance is not lost to rounding.
    return record.durationSeconds &&
           durationGap(track, record) <= std::llround(DurationToleranceSeconds * 1000.0);
}

} // namespace

bool canLookUp(const Track& track) {
    return !track.title.isEmpty() && !track.artist.isEmpty() && track.durationMs;
}

QUrl lookupUrl(const QUrl& base, const Track& track) {
    if (!canLookUp(track))
        return {};
    QueryItems query{{QLatin1StringView("track_name"), track.title},
                     {QLatin1StringView("artist_name"), track.artist}};
    if (!track.album.isEmpty())
        query.append({QLatin1StringView("album_name"), track.album});
    query.append({QLatin1StringView("duration"),
                  QString::number(std::llround(double(*track.durationMs) / 1000.0))});
    return endpoint(base, QStringLiteral("/api/get"), query);
}

QUrl searchUrl(const QUrl& base, const Track& track) {
    if (track.title.isEmpty())
        return {};
    QueryItems query{{QLatin1StringView("track_name"), track.title}};
    if (!track.artist.isEmpty())
        query.append({QLatin1StringView("artist_name"), track.artist});
    return endpoint(base, QStringLiteral("/api/search"), query);
}

std::optional<Record> parseRecord(QByteArrayView json) {
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray());
    if (!document.isObject())
        return std::nullopt;
    return recordFrom(document.object());
}

std::optional<std::vector<Record>> parseRecords(QByteArrayView json) {
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray());
    if (!document.isArray())
        return std::nullopt;
    std::vector<Record> records;
    for (const QJsonValue& element : document.array()) {
        if (!element.isObject())
            continue;
        if (std::optional<Record> record = recordFrom(element.toObject()))
            records.push_back(std::move(*record));
    }
    return records;
}

std::vector<Record> candidatesFor(const Track& track, std::vector<Record> records) {
    std::erase_if(records, [&](const Record& record) { return !fits(track, record); });
    std::stable_sort(records.begin(), records.end(), [&](const Record& a, const Record& b) {
        const bool aSynced = lyricsOf(a).kind == Lyrics::Kind::Synced;
        const bool bSynced = lyricsOf(b).kind == Lyrics::Kind::Synced;
        if (aSynced != bSynced)
            return aSynced;
        return durationGap(track, a) < durationGap(track, b);
    });
    return records;
}

Lyrics lyricsOf(const Record& record) {
    if (record.instrumental)
        return {Lyrics::Kind::Instrumental, {}};
    if (QStringList lines = EmbeddedLyrics::fromLrcText(record.syncedLyrics); !lines.isEmpty())
        return {Lyrics::Kind::Synced, std::move(lines)};
    if (!record.plainLyrics.trimmed().isEmpty())
        return {Lyrics::Kind::Plain, EmbeddedLyrics::boundedLines(record.plainLyrics)};
    return {};
}

std::optional<ArtistAndTitle> splitFileName(const QString& baseName) {
    const auto split = [&](qsizetype at, qsizetype width) -> std::optional<ArtistAndTitle> {
        if (at < 0)
            return std::nullopt;
        ArtistAndTitle parts{baseName.left(at).trimmed(), baseName.mid(at + width).trimmed()};
        if (parts.artist.isEmpty() || parts.title.isEmpty())
            return std::nullopt;
        return parts;
    };
    if (std::optional<ArtistAndTitle> parts = split(baseName.indexOf(u" - "), 3))
        return parts;
    return split(baseName.indexOf(u'-'), 1);
}

} // namespace Lrclib
