#pragma once

#include "lyric_sources/media_tags.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>

// Off unless asked for (QT_LOGGING_RULES="vellora.tags.debug=true"): how long the tags of
// each track take, on the worker and until they reach the user-interface thread.
Q_DECLARE_LOGGING_CATEGORY(lcTags)

// Reads a track's tags off the user-interface thread and delivers them on it. Every load()
// is a new opening; only the latest opening's tags are ever delivered, so tags read late for
// a track that was already replaced are dropped, and loads queued behind a newer one are
// never read at all.
class MediaTagLoader : public QObject {
    Q_OBJECT
public:
    // The reader is used from a worker thread and must outlive the loader. Covers are
    // written into artFolder (see cover_art_cache.h); an empty folder keeps them in memory
    // only.
    MediaTagLoader(const MediaTagReader& reader, QString artFolder, QObject* parent = nullptr);
    // Waits for a read in progress: the worker uses the reader, which may go next.
    ~MediaTagLoader() override;

    // Starts reading the file's tags; returns the opening that loaded() will name.
    quint64 load(const QString& mediaPath);

    // The opening of the last load(), 0 before the first.
    quint64 latestOpening() const { return latest_.load(); }

Q_SIGNALS:
    // On the loader's thread. artUrl is the cover's file:// URL, empty without a cover.
    void loaded(quint64 opening, const QString& mediaPath, const MediaTags& tags,
                const QString& artUrl);

private:
    const MediaTagReader& reader_;
    QString artFolder_;
    // Read by the worker before and after reading, to skip work no one will see.
    std::atomic<quint64> latest_ = 0;
    // One thread: tags of one track at a time, in the order asked.
    QThreadPool pool_;
};
