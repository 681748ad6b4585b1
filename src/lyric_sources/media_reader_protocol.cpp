#include "lyric_sources/media_reader_protocol.h"

#include "lyric_sources/cover_image_type.h"

#include <QtEndian>

namespace MediaReaderProtocol {

namespace {

constexpr quint8 RequestMark = 'Q';
constexpr quint8 AnswerMark = 'A';
constexpr qint64 NoDuration = -1;
// Longer than any track: a hundred years.
constexpr qint64 MaxDurationMs = 100LL * 365 * 24 * 3600 * 1000;

class Writer {
public:
    explicit Writer(quint8 mark) {
        bytes_.append(QByteArray(LengthBytes, '\0')).append(char(mark));
    }
    void byte(quint8 value) { bytes_.append(char(value)); }
    void number(quint64 value) {
        char raw[8];
        qToLittleEndian(value, raw);
        bytes_.append(raw, sizeof raw);
    }
    void blob(QByteArrayView data) {
        number(quint64(data.size()));
        bytes_.append(data);
    }
    void text(const QString& value, qsizetype maxChars) { blob(value.left(maxChars).toUtf8()); }
    // The frame so far, its length counting a tail of tailBytes that follows it.
    QByteArray frame(qsizetype tailBytes = 0) {
        qToLittleEndian(quint32(bytes_.size() + tailBytes - LengthBytes), bytes_.data());
        return std::move(bytes_);
    }

private:
    QByteArray bytes_;
};

// Reads fields in order; once one is out of bounds every later read fails too.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && at_ == bytes_.size(); }
    quint8 byte() {
        if (!has(1))
            return 0;
        return quint8(bytes_[at_++]);
    }
    quint64 number() {
        if (!has(8))
            return 0;
        const quint64 value = qFromLittleEndian<quint64>(bytes_.data() + at_);
        at_ += 8;
        return value;
    }
    QByteArrayView blob(qsizetype most) {
        const quint64 size = number();
        if (size > quint64(most) || !has(qsizetype(size)))
            return fail();
        const QByteArrayView data = bytes_.sliced(at_, qsizetype(size));
        at_ += qsizetype(size);
        return data;
    }
    QString text(qsizetype maxChars) {
        // A character takes at most four bytes of UTF-8.
        const QString value = QString::fromUtf8(blob(4 * maxChars));
        if (value.size() > maxChars)
            fail();
        return value;
    }

private:
    bool has(qsizetype count) {
        if (ok_ && count >= 0 && bytes_.size() - at_ >= count)
            return true;
        fail();
        return false;
    }
    QByteArrayView fail() {
        ok_ = false;
        return {};
    }

    QByteArrayView bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

} // namespace

std::optional<quint32> frameLength(QByteArrayView head, quint32 most) {
    if (head.size() < LengthBytes)
        return std::nullopt;
    const quint32 length = qFromLittleEndian<quint32>(head.data());
    if (length > most)
        return std::nullopt;
    return length;
}

QByteArray request(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString suffix = dot < 0 || fileName.size() - dot - 1 > MaxSuffixChars
                               ? QString()
                               : fileName.sliced(dot + 1);
    Writer writer(RequestMark);
    writer.text(suffix, MaxSuffixChars);
    return writer.frame();
}

std::optional<QString> requestedSuffix(QByteArrayView body) {
    Reader reader(body);
    if (reader.byte() != RequestMark)
        return std::nullopt;
    QString suffix = reader.text(MaxSuffixChars);
    if (!reader.atEnd())
        return std::nullopt;
    return suffix;
}

AnswerFrame answer(const Answer& answer) {
    const MediaTags& tags = answer.tags;
    Writer writer(AnswerMark);
    writer.byte(quint8(answer.outcome));
    for (const QString* name : {&tags.title, &tags.artist, &tags.album})
        writer.text(*name, MaxNameChars);
    writer.number(quint64(tags.durationMs.value_or(NoDuration)));
    QList<QByteArray> lines;
    qsizetype bytes = 0;
    for (const QString& line : tags.lyricLines) {
        QByteArray utf8 = line.toUtf8();
        if (lines.size() == MaxLyricLines || bytes + utf8.size() > MaxLyricBytes)
            break;
        bytes += utf8.size();
        lines << std::move(utf8);
    }
    writer.number(quint64(lines.size()));
    for (const QByteArray& line : std::as_const(lines))
        writer.blob(line);
    // The cover goes last and as it is: it may be megabytes.
    const QByteArray cover =
        tags.cover.data.size() <= MaxCoverBytes ? tags.cover.data : QByteArray();
    writer.number(quint64(cover.size()));
    return {writer.frame(qsizetype(cover.size())), cover};
}

std::optional<Answer> parseAnswer(QByteArray body) {
    Reader reader(body);
    if (reader.byte() != AnswerMark)
        return std::nullopt;
    Answer parsed;
    const quint8 outcome = reader.byte();
    if (outcome > quint8(Outcome::TooLarge))
        return std::nullopt;
    parsed.outcome = Outcome(outcome);
    MediaTags& tags = parsed.tags;
    for (QString* name : {&tags.title, &tags.artist, &tags.album})
        *name = reader.text(MaxNameChars);
    const auto duration = qint64(reader.number());
    if (duration != NoDuration) {
        if (duration < 0 || duration > MaxDurationMs)
            return std::nullopt;
        tags.durationMs = duration;
    }
    const quint64 count = reader.number();
    if (count > quint64(MaxLyricLines))
        return std::nullopt;
    qsizetype bytes = 0;
    for (quint64 i = 0; i < count && reader.ok(); ++i) {
        const QByteArrayView line = reader.blob(MaxLyricBytes - bytes);
        bytes += line.size();
        tags.lyricLines << QString::fromUtf8(line);
    }
    const QByteArrayView cover = reader.blob(MaxCoverBytes);
    if (!reader.atEnd())
        return std::nullopt;
    if (const QString type = CoverArtCache::imageMimeType(cover); !type.isEmpty()) {
        // The cover is the rest of the body, which it takes over without a copy.
        body.remove(0, body.size() - cover.size());
        tags.cover = {std::move(body), type};
    }
    return parsed;
}

} // namespace MediaReaderProtocol
