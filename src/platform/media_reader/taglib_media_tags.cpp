#include "platform/media_reader/taglib_media_tags.h"

#include "lyric_sources/cover_image_type.h"
#include "lyric_sources/embedded_lyrics.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_line_index.h"
#include "platform/media_reader/id3v2_bounds.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tfilestream.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Kind { Unknown, Mpeg, Flac, OggVorbis, Opus, Mp4, Wav, Aiff };

// Texts are cut to what can be used before they are converted, and converted once.
constexpr unsigned MaxNameChars = LyricLineIndex::MaxShownLength;
// Line breaks inside an entry vanish from its line, so an entry may be longer than a line.
constexpr unsigned MaxEntryChars = 2 * LyricLineIndex::MaxShownLength;
// Each character takes at least one byte of the lyric file the lines would make.
constexpr unsigned MaxLyricChars = unsigned(LyricFile::MaxBytes);

QString toQString(const TagLib::String& text, unsigned maxChars) {
    const std::string utf8 =
        (text.size() > maxChars ? text.substr(0, maxChars) : text).to8Bit(true);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// TagLib hands a frame's type bytes over as its enumerations, whatever their value; read
// as a number, a value the format does not name is no undefined behaviour.
template <typename Frame, typename Enumeration>
__attribute__((no_sanitize("enum"))) int code(const Frame* frame,
                                              Enumeration (Frame::*read)() const) {
    return int((frame->*read)());
}

QByteArray toBytes(const TagLib::ByteVector& bytes) {
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The kind from the container's signature; the name decides only for MPEG audio without an
// ID3v2 tag, whose frames have no signature worth the name.
Kind kindOf(int fd, const QString& path) {
    char head[64] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    const QByteArrayView bytes(head, got > 0 ? got : 0);
    if (bytes.startsWith("fLaC"))
        return Kind::Flac;
    if (bytes.startsWith("OggS")) {
        if (bytes.contains("OpusHead"))
            return Kind::Opus;
        if (bytes.contains("\x01vorbis"))
            return Kind::OggVorbis;
        return Kind::Unknown;
    }
    if (bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "WAVE")
        return Kind::Wav;
    if (bytes.size() >= 12 && bytes.startsWith("FORM") &&
        (bytes.sliced(8, 4) == "AIFF" || bytes.sliced(8, 4) == "AIFC"))
        return Kind::Aiff;
    if (bytes.size() >= 8 && bytes.sliced(4, 4) == "ftyp")
        return Kind::Mp4;
    if (bytes.startsWith("ID3"))
        return path.endsWith(QStringLiteral(".flac"), Qt::CaseInsensitive) ? Kind::Flac
                                                                           : Kind::Mpeg;
    if (bytes.size() >= 2 && quint8(bytes[0]) == 0xFF && (quint8(bytes[1]) & 0xE0) == 0xE0)
        return Kind::Mpeg;
    if (path.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive))
        return Kind::Mpeg;
    return Kind::Unknown;
}

// A descriptor for reading only, of a regular file only (see regular_file.h for why).
int openForReading(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

CoverImage coverFrom(const TagLib::ByteVector& picture) {
    if (picture.size() > TagLibMediaTagReader::MaxCoverBytes)
        return {};
    QByteArray data = toBytes(picture);
    QString mimeType = CoverArtCache::imageMimeType(data);
    if (mimeType.isEmpty())
        return {};
    return {std::move(data), std::move(mimeType)};
}

// The front cover, else the first picture of any kind that is an image.
template <typename Picture, typename FrontTest, typename Bytes>
CoverImage chooseCover(const std::vector<Picture>& pictures, FrontTest isFront, Bytes bytesOf) {
    for (const Picture& picture : pictures) {
        if (isFront(picture))
            if (CoverImage cover = coverFrom(bytesOf(picture)); !cover.isNull())
                return cover;
    }
    for (const Picture& picture : pictures) {
        if (CoverImage cover = coverFrom(bytesOf(picture)); !cover.isNull())
            return cover;
    }
    return {};
}

void readId3v2(TagLib::ID3v2::Tag* tag, MediaTags& tags, EmbeddedLyrics::Sources& lyrics) {
    if (tag == nullptr)
        return;
    using TagLib::ID3v2::SynchronizedLyricsFrame;
    std::vector<const SynchronizedLyricsFrame*> synchronized;
    for (TagLib::ID3v2::Frame* frame : tag->frameList("SYLT")) {
        const auto* sylt = dynamic_cast<const SynchronizedLyricsFrame*>(frame);
        // Stamps counted in MPEG frames would need the stream's frame length; no writer in
        // use makes them.
        if (sylt == nullptr || code(sylt, &SynchronizedLyricsFrame::timestampFormat) !=
                                   SynchronizedLyricsFrame::AbsoluteMilliseconds)
            continue;
        const int type = code(sylt, &SynchronizedLyricsFrame::type);
        if (type == SynchronizedLyricsFrame::Lyrics ||
            type == SynchronizedLyricsFrame::TextTranscription ||
            type == SynchronizedLyricsFrame::Other)
            synchronized.push_back(sylt);
    }
    // Lyrics proper before a transcription or an untyped frame.
    std::stable_sort(synchronized.begin(), synchronized.end(), [](auto* a, auto* b) {
        return (code(a, &SynchronizedLyricsFrame::type) == SynchronizedLyricsFrame::Lyrics) >
               (code(b, &SynchronizedLyricsFrame::type) == SynchronizedLyricsFrame::Lyrics);
    });
    for (const SynchronizedLyricsFrame* sylt : synchronized) {
        // Only the entries that can become lines are converted.
        const SynchronizedLyricsFrame::SynchedTextList list = sylt->synchedText();
        std::vector<const SynchronizedLyricsFrame::SynchedText*> all;
        std::vector<std::uint32_t> times;
        all.reserve(list.size());
        times.reserve(list.size());
        for (const auto& entry : list) {
            all.push_back(&entry);
            times.push_back(entry.time);
        }
        std::vector<EmbeddedLyrics::TimedText> entries;
        for (const std::size_t i : EmbeddedLyrics::earliest(times))
            entries.push_back({all[i]->time, toQString(all[i]->text, MaxEntryChars)});
        lyrics.synchronized.push_back(std::move(entries));
    }
    for (TagLib::ID3v2::Frame* frame : tag->frameList("USLT")) {
        if (const auto* uslt = dynamic_cast<const TagLib::ID3v2::UnsynchronizedLyricsFrame*>(frame))
            lyrics.texts.append(toQString(uslt->text(), MaxLyricChars));
    }
    if (!tags.cover.isNull())
        return;
    std::vector<const TagLib::ID3v2::AttachedPictureFrame*> pictures;
    for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        if (const auto* apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame))
            pictures.push_back(apic);
    }
    tags.cover = chooseCover(
        pictures,
        [](auto* apic) {
            return code(apic, &TagLib::ID3v2::AttachedPictureFrame::type) ==
                   TagLib::ID3v2::AttachedPictureFrame::FrontCover;
        },
        [](auto* apic) { return apic->picture(); });
}

CoverImage coverOfPictures(const TagLib::List<TagLib::FLAC::Picture*>& list) {
    std::vector<const TagLib::FLAC::Picture*> pictures(list.begin(), list.end());
    return chooseCover(
        pictures,
        [](auto* p) {
            return code(p, &TagLib::FLAC::Picture::type) == TagLib::FLAC::Picture::FrontCover;
        },
        [](auto* p) { return p->data(); });
}

void readXiph(TagLib::Ogg::XiphComment* comment, MediaTags& tags, EmbeddedLyrics::Sources& lyrics) {
    if (comment == nullptr)
        return;
    const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
    for (const char* name : {"LYRICS", "UNSYNCEDLYRICS"}) {
        const auto field = fields.find(name);
        if (field == fields.end())
            continue;
        for (const TagLib::String& text : field->second)
            lyrics.texts.append(toQString(text, MaxLyricChars));
    }
    if (tags.cover.isNull())
        tags.cover = coverOfPictures(comment->pictureList());
}

void readMp4(TagLib::MP4::Tag* tag, MediaTags& tags, EmbeddedLyrics::Sources& lyrics) {
    if (tag == nullptr)
        return;
    for (const TagLib::String& text : tag->item("\251lyr").toStringList())
        lyrics.texts.append(toQString(text, MaxLyricChars));
    std::vector<TagLib::MP4::CoverArt> pictures;
    for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList())
        pictures.push_back(art);
    // MP4 says nothing of which picture is the front; the first one is, by custom.
    tags.cover = chooseCover(
        pictures, [](const auto&) { return true; }, [](const auto& art) { return art.data(); });
}

} // namespace

MediaTags TagLibMediaTagReader::read(const QString& path) const {
    const int fd = openForReading(path);
    return fd < 0 ? MediaTags{} : readOpened(fd, path);
}

MediaTags TagLibMediaTagReader::readOpened(int fd, const QString& fileName) {
    const Kind kind = kindOf(fd, fileName);
    if (kind == Kind::Unknown) {
        ::close(fd);
        return {};
    }
    // A WAV or AIFF file's tag is read apart, with the frames' limits.
    const std::optional<Id3v2Bounds::TagChunk> chunk =
        kind == Kind::Wav || kind == Kind::Aiff ? Id3v2Bounds::tagChunk(fd) : std::nullopt;
    // The stream owns the descriptor from here on.
    TagLib::FileStream opened(fd, true);
    if (!opened.isOpen()) {
        ::close(fd);
        return {};
    }
    const std::unique_ptr<TagLib::IOStream> hiding =
        chunk ? Id3v2Bounds::hidingChunk(opened, *chunk) : nullptr;
    TagLib::IOStream& stream = hiding ? *hiding : static_cast<TagLib::IOStream&>(opened);

    MediaTags tags;
    EmbeddedLyrics::Sources lyrics;
    std::unique_ptr<TagLib::File> file;
    std::unique_ptr<TagLib::ID3v2::Tag> chunkTag;
    switch (kind) {
    case Kind::Mpeg: {
        auto mpeg =
            std::make_unique<TagLib::MPEG::File>(&stream, Id3v2Bounds::frameFactory(), true);
        if (mpeg->isValid() && mpeg->hasID3v2Tag())
            readId3v2(mpeg->ID3v2Tag(), tags, lyrics);
        file = std::move(mpeg);
        break;
    }
    case Kind::Flac: {
        auto flac =
            std::make_unique<TagLib::FLAC::File>(&stream, Id3v2Bounds::frameFactory(), true);
        if (flac->isValid()) {
            tags.cover = coverOfPictures(flac->pictureList());
            readXiph(flac->xiphComment(), tags, lyrics);
            if (flac->hasID3v2Tag())
                readId3v2(flac->ID3v2Tag(), tags, lyrics);
        }
        file = std::move(flac);
        break;
    }
    case Kind::OggVorbis: {
        auto vorbis = std::make_unique<TagLib::Ogg::Vorbis::File>(&stream, true);
        if (vorbis->isValid())
            readXiph(vorbis->tag(), tags, lyrics);
        file = std::move(vorbis);
        break;
    }
    case Kind::Opus: {
        auto opus = std::make_unique<TagLib::Ogg::Opus::File>(&stream, true);
        if (opus->isValid())
            readXiph(opus->tag(), tags, lyrics);
        file = std::move(opus);
        break;
    }
    case Kind::Mp4: {
        auto mp4 = std::make_unique<TagLib::MP4::File>(&stream, true);
        if (mp4->isValid())
            readMp4(mp4->tag(), tags, lyrics);
        file = std::move(mp4);
        break;
    }
    case Kind::Wav:
        file = std::make_unique<TagLib::RIFF::WAV::File>(&stream, true);
        break;
    case Kind::Aiff:
        file = std::make_unique<TagLib::RIFF::AIFF::File>(&stream, true);
        break;
    case Kind::Unknown:
        break;
    }
    if (!file || !file->isValid())
        return {};
    if (chunk) {
        chunkTag = std::make_unique<TagLib::ID3v2::Tag>(file.get(), chunk->tagAt,
                                                        Id3v2Bounds::frameFactory());
        readId3v2(chunkTag.get(), tags, lyrics);
    }

    // The format's own tag, which for MP3 falls back from ID3v2 to ID3v1 and for WAV from
    // ID3v2 to the INFO chunk; a WAV or AIFF file's ID3v2 tag is the one read apart.
    const TagLib::Tag* named = chunkTag && !chunkTag->isEmpty() ? chunkTag.get() : file->tag();
    if (named) {
        tags.title = toQString(named->title(), MaxNameChars).trimmed();
        tags.artist = toQString(named->artist(), MaxNameChars).trimmed();
        tags.album = toQString(named->album(), MaxNameChars).trimmed();
    }
    if (const TagLib::AudioProperties* audio = file->audioProperties();
        audio != nullptr && audio->lengthInMilliseconds() > 0)
        tags.durationMs = audio->lengthInMilliseconds();
    tags.lyricLines = EmbeddedLyrics::linesOf(lyrics);
    return tags;
}
