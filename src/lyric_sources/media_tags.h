#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A front cover as the tags hold it. The type is told by the image's own bytes, never taken
// on the tag's word: only pictures a desktop can show are kept.
struct CoverImage {
    QByteArray data;
    QString mimeType; // "image/jpeg", "image/png", ...; empty with no picture

    bool isNull() const { return data.isEmpty(); }
    bool operator==(const CoverImage&) const = default;
};

// What a media file says about itself, as far as the player shows it.
struct MediaTags {
    QString title;
    QString artist;
    QString album;
    std::optional<qint64> durationMs;
    CoverImage cover;
    // The lyrics embedded in the tags, as the lines of a lyric file would be: empty when
    // the tags hold none, or only text without times (see embedded_lyrics.h).
    QStringList lyricLines;

    bool operator==(const MediaTags&) const = default;
};

// Reads the tags of a media file. The reader is asked from a worker thread, one file at a
// time, so an implementation keeps no state between calls that another thread could see.
// A file it cannot read, or of a kind it does not know, gives empty tags.
class MediaTagReader {
public:
    virtual ~MediaTagReader() = default;
    virtual MediaTags read(const QString& path) const = 0;
};
