#include "platform/media_reader/id3v2_bounds.h"

#include <QByteArrayView>
#include <QtEndian>
#include <cstring>
#include <taglib/id3v2frame.h>
#include <unistd.h>
#include <utility>

namespace Id3v2Bounds {

namespace {

bool isOneOf(const char* id, int idLength, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (int(std::strlen(name)) == idLength && std::memcmp(id, name, size_t(idLength)) == 0)
            return true;
    return false;
}

bool isLyrics(const char* id, int idLength) {
    return isOneOf(id, idLength, {"SYLT", "USLT", "SLT", "ULT"});
}

bool isPicture(const char* id, int idLength) {
    return isOneOf(id, idLength, {"APIC", "PIC"});
}

// TagLib's frame header type is protected within Frame; a subclass may name it.
class FrameAccess : public TagLib::ID3v2::Frame {
public:
    using Header = TagLib::ID3v2::Frame::Header;
};

class BoundedFrameFactory : public TagLib::ID3v2::FrameFactory {
protected:
    // Called before a frame is built; false leaves it unparsed.
    bool updateFrame(FrameAccess::Header* header) const override {
        if (!FrameFactory::updateFrame(header))
            return false;
        const TagLib::ByteVector id = header->frameID();
        return header->frameSize() <= frameLimit(id.data(), int(id.size()));
    }
};

// Reads a stream as it is, but for a few bytes at one place, read as others.
class OverlaidStream : public TagLib::IOStream {
public:
    OverlaidStream(TagLib::IOStream& file, long at, TagLib::ByteVector bytes)
        : file_(file), at_(at), bytes_(std::move(bytes)) {}

    TagLib::FileName name() const override { return file_.name(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        const long start = file_.tell();
        TagLib::ByteVector block = file_.readBlock(length);
        for (unsigned i = 0; i < bytes_.size(); ++i) {
            const long inBlock = at_ + long(i) - start;
            if (inBlock >= 0 && inBlock < long(block.size()))
                block[unsigned(inBlock)] = bytes_[i];
        }
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_.isOpen(); }
    void seek(long offset, Position from) override { file_.seek(offset, from); }
    void clear() override { file_.clear(); }
    long tell() const override { return file_.tell(); }
    long length() override { return file_.length(); }
    void truncate(long) override {}

private:
    TagLib::IOStream& file_;
    const long at_;
    const TagLib::ByteVector bytes_;
};

} // namespace

quint32 frameLimit(const char* id, int idLength) {
    if (isLyrics(id, idLength))
        return MaxLyricFrameBytes;
    if (isPicture(id, idLength))
        return MaxPictureFrameBytes;
    return MaxOtherFrameBytes;
}

TagLib::ID3v2::FrameFactory* frameFactory() {
    static BoundedFrameFactory factory;
    return &factory;
}

std::optional<TagChunk> tagChunk(int fd) {
    const auto read = [fd](long at, char* into, size_t count) {
        return ::pread(fd, into, count, off_t(at)) == ssize_t(count);
    };
    char head[12];
    if (!read(0, head, sizeof head))
        return std::nullopt;
    const QByteArrayView form(head, 4), kind(head + 8, 4);
    const bool riff = form == "RIFF" && kind == "WAVE";
    if (!riff && !(form == "FORM" && (kind == "AIFF" || kind == "AIFC")))
        return std::nullopt;
    long at = 12;
    for (int chunk = 0; chunk < MaxChunks; ++chunk) {
        char header[8];
        if (!read(at, header, sizeof header))
            break;
        const QByteArrayView id(header, 4);
        if (id == "id3 " || id == "ID3 ")
            return TagChunk{at, at + 8};
        const quint32 size =
            riff ? qFromLittleEndian<quint32>(header + 4) : qFromBigEndian<quint32>(header + 4);
        // Chunks are padded to an even length.
        at += 8 + long(size) + long(size & 1);
    }
    return std::nullopt;
}

std::unique_ptr<TagLib::IOStream> hidingChunk(TagLib::IOStream& file, const TagChunk& chunk) {
    return std::make_unique<OverlaidStream>(file, chunk.nameAt, TagLib::ByteVector("skip", 4));
}

} // namespace Id3v2Bounds
