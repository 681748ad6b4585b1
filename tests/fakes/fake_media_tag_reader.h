#pragma once

#include "lyric_sources/media_tags.h"

#include <QHash>
#include <QMutex>
#include <QWaitCondition>

// Tags the test sets per path; every other path has none. Reads run on the tag loader's
// worker thread, and a test may hold them there until it lets them go.
class FakeMediaTagReader : public MediaTagReader {
public:
    MediaTags read(const QString& path) const override {
        QMutexLocker lock(&mutex_);
        ++reads_;
        while (held_)
            released_.wait(&mutex_);
        return tags_.value(path);
    }

    void set(const QString& path, const MediaTags& tags) {
        QMutexLocker lock(&mutex_);
        tags_.insert(path, tags);
    }
    int reads() const {
        QMutexLocker lock(&mutex_);
        return reads_;
    }
    void hold() {
        QMutexLocker lock(&mutex_);
        held_ = true;
    }
    void release() {
        QMutexLocker lock(&mutex_);
        held_ = false;
        released_.wakeAll();
    }

private:
    mutable QMutex mutex_;
    mutable QWaitCondition released_;
    QHash<QString, MediaTags> tags_;
    mutable int reads_ = 0;
    bool held_ = false;
};
