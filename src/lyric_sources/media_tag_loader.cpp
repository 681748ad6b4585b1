#include "lyric_sources/media_tag_loader.h"

#include "lyric_sources/cover_art_cache.h"

#include <QElapsedTimer>

Q_LOGGING_CATEGORY(lcTags, "vellora.tags", QtInfoMsg)

MediaTagLoader::MediaTagLoader(const MediaTagReader& reader, QString artFolder, QObject* parent)
    : QObject(parent), reader_(reader), artFolder_(std::move(artFolder)) {
    pool_.setMaxThreadCount(1);
}

MediaTagLoader::~MediaTagLoader() {
    latest_.store(0);
    pool_.clear();
    pool_.waitForDone();
}

quint64 MediaTagLoader::load(const QString& mediaPath) {
    const quint64 opening = latest_.load() + 1;
    latest_.store(opening);
    pool_.clear(); // the loads still waiting are already out of date
    // The destructor waits for the work, so the loader outlives it; the result is queued
    // to the loader's thread, where Qt drops it should the loader be gone by then.
    pool_.start([this, opening, mediaPath] {
        if (latest_.load() != opening)
            return;
        QElapsedTimer took;
        took.start();
        MediaTags tags = reader_.read(mediaPath);
        const qint64 readMs = took.elapsed();
        QString artUrl;
        if (!tags.cover.isNull() && !artFolder_.isEmpty() && latest_.load() == opening)
            artUrl = CoverArtCache::store(artFolder_, tags.cover.data);
        qCDebug(lcTags, "read the tags of %s in %lld ms, its cover of %lld bytes kept in %lld ms",
                qUtf8Printable(mediaPath), readMs, qint64(tags.cover.data.size()),
                took.elapsed() - readMs);
        if (latest_.load() != opening)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, opening, mediaPath, tags = std::move(tags), artUrl = std::move(artUrl)] {
                if (latest_.load() == opening)
                    Q_EMIT loaded(opening, mediaPath, tags, artUrl);
            },
            Qt::QueuedConnection);
    });
    return opening;
}
