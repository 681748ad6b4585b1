#pragma once

#include "lyric_sources/media_tags.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <optional>

// What the player and its media reader say to each other over their socket. Each message is
// a frame: its length in four bytes (little-endian), then that many bytes. A request travels
// with the media file's open descriptor beside it and names nothing of the file but its
// suffix, which tells an MPEG file without a tag. An answer holds the tags, every field within
// a bound; each side checks every bound again on receipt, and a frame that breaks one, or
// does not end where its fields do, is no frame at all.
namespace MediaReaderProtocol {

// Texts and pictures the player would not keep are not sent.
inline constexpr qsizetype MaxSuffixChars = 16;
inline constexpr qsizetype MaxNameChars = LyricLineIndex::MaxShownLength;
inline constexpr qsizetype MaxCoverBytes = 16 * 1024 * 1024;
inline constexpr qsizetype MaxLyricLines = LyricFile::MaxLines;
inline constexpr qsizetype MaxLyricBytes = LyricFile::MaxBytes;
// Everything above, with room for the lengths and the markers.
inline constexpr quint32 MaxFrameBytes =
    quint32(3 * 4 * MaxNameChars + MaxCoverBytes + MaxLyricBytes + 4 * MaxLyricLines + 4096);
inline constexpr qsizetype LengthBytes = 4;
// Each side waits this long awake for the other's next frame before it sleeps: a file's tags
// take some tens of microseconds to read, and a wake from sleep on another processor can take
// as long again, which would double the cost of every read.
inline constexpr std::chrono::microseconds AwakeWait{200};

enum class Outcome : quint8 {
    Read = 0,     // the tags as the file holds them (none, for a file of no known kind)
    TooLarge = 1, // reading the file needed more memory than the reader may take
};

struct Answer {
    Outcome outcome = Outcome::Read;
    MediaTags tags;
    bool operator==(const Answer&) const = default;
};

// The length a frame's first LengthBytes announce; none when it is over most.
std::optional<quint32> frameLength(QByteArrayView head, quint32 most = MaxFrameBytes);

// A request for the tags of the file named fileName (only its suffix goes), as a frame.
QByteArray request(const QString& fileName);
// The suffix a request's bytes (without their length) name; none for any other bytes.
std::optional<QString> requestedSuffix(QByteArrayView body);

// An answer, as a frame in two parts sent one after the other: the fields, and the cover's
// bytes, which go last and as they are. Texts, lines and a cover beyond their bounds are cut or
// left out on the way.
struct AnswerFrame {
    QByteArray fields;
    QByteArray cover;
    QByteArray joined() const { return fields + cover; }
};
AnswerFrame answer(const Answer& answer);
// The answer that a frame's body (without its length) holds; none for any other bytes. The
// cover, kept only when its own bytes say it is an image, takes the body over.
std::optional<Answer> parseAnswer(QByteArray body);

} // namespace MediaReaderProtocol
