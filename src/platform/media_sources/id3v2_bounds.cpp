#include "platform/media_sources/id3v2_bounds.h"

#include <cstring>
#include <taglib/id3v2frame.h>
#include <utility>
#include <vector>

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

quint32 bigEndian(const TagLib::ByteVector& bytes, int at, int count, int bitsPerByte) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << bitsPerByte) | (quint8(bytes[at + i]) & ((1u << bitsPerByte) - 1));
    return value;
}

TagLib::ByteVector synchsafe(quint32 value) {
    TagLib::ByteVector bytes(4, '\0');
    for (int i = 3; i >= 0; --i, value >>= 7)
        bytes[i] = char(value & 0x7F);
    return bytes;
}

// The file with its first bytes up to `cut` replaced by `head`; read-only.
class SplicedStream : public TagLib::IOStream {
public:
    SplicedStream(TagLib::IOStream& file, TagLib::ByteVector head, long cut)
        : file_(file), head_(std::move(head)), cut_(cut) {}

    TagLib::FileName name() const override { return file_.name(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        TagLib::ByteVector block;
        const long headSize = long(head_.size());
        if (position_ < headSize) {
            const unsigned long fromHead = std::min(length, (unsigned long)(headSize - position_));
            block = head_.mid(unsigned(position_), unsigned(fromHead));
            length -= fromHead;
            position_ += long(fromHead);
        }
        if (length > 0) {
            file_.seek(cut_ + position_ - headSize);
            const TagLib::ByteVector rest = file_.readBlock(length);
            block.append(rest);
            position_ += long(rest.size());
        }
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_.isOpen(); }
    void seek(long offset, Position from) override {
        const long base = from == Beginning ? 0 : from == Current ? position_ : length();
        position_ = std::max(0L, base + offset);
    }
    long tell() const override { return position_; }
    long length() override { return long(head_.size()) + std::max(0L, file_.length() - cut_); }
    void truncate(long) override {}

private:
    TagLib::IOStream& file_;
    const TagLib::ByteVector head_;
    const long cut_;
    long position_ = 0;
};

struct Range {
    long at;
    long size;
};

// The frames of the tag body [start, end) that may be read, in order; false when a frame
// is left out.
bool keptFrames(TagLib::IOStream& file, int major, long start, long end, std::vector<Range>& kept) {
    const int headerSize = major == 2 ? 6 : 10;
    const int idLength = major == 2 ? 3 : 4;
    bool all = true;
    long keptBytes = 0;
    for (long at = start; at + headerSize <= end;) {
        file.seek(at);
        const TagLib::ByteVector header = file.readBlock(unsigned(headerSize));
        if (int(header.size()) < headerSize || header[0] == '\0')
            break; // padding
        const quint32 size = major == 2   ? bigEndian(header, 3, 3, 8)
                             : major == 3 ? bigEndian(header, 4, 4, 8)
                                          : bigEndian(header, 4, 4, 7);
        const long whole = headerSize + long(size);
        if (whole > end - at)
            break;
        // A packed frame could unpack to any size.
        const bool packed = (major == 3 && (quint8(header[8]) & 0x80) != 0) ||
                            (major == 4 && (quint8(header[9]) & 0x08) != 0);
        if (!packed && size <= frameLimit(header.data(), idLength) &&
            keptBytes + whole <= long(MaxTagBytes)) {
            kept.push_back({at, whole});
            keptBytes += whole;
        } else {
            all = false;
        }
        at += whole;
    }
    return all;
}

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

std::unique_ptr<TagLib::IOStream> sievedStream(TagLib::IOStream& file) {
    file.seek(0);
    const TagLib::ByteVector header = file.readBlock(10);
    if (header.size() < 10 || !header.startsWith("ID3"))
        return nullptr;
    const int major = quint8(header[3]);
    const quint8 flags = quint8(header[5]);
    const long size = long(bigEndian(header, 6, 4, 7));
    const long end = 10 + size + (major == 4 && (flags & 0x10) != 0 ? 10 : 0);
    // Unsynchronisation of a whole 2.2 or 2.3 tag hides its frame headers, and 2.2's
    // compression its frames.
    const bool walkable =
        major == 4 || (major == 3 && (flags & 0x80) == 0) || (major == 2 && (flags & 0xC0) == 0);
    std::vector<Range> kept;
    if (walkable) {
        long start = 10;
        if (major > 2 && (flags & 0x40) != 0) {
            file.seek(10);
            const TagLib::ByteVector extended = file.readBlock(4);
            if (extended.size() < 4)
                return nullptr;
            start += major == 3 ? 4 + long(bigEndian(extended, 0, 4, 8))
                                : long(bigEndian(extended, 0, 4, 7));
        }
        if (keptFrames(file, major, start, 10 + size, kept))
            return nullptr;
    } else if (size <= long(MaxTagBytes)) {
        return nullptr; // TagLib reads it, with the frame factory's limits
    }
    TagLib::ByteVector body;
    for (const Range& range : kept) {
        file.seek(range.at);
        body.append(file.readBlock(unsigned(range.size)));
    }
    TagLib::ByteVector head;
    if (!body.isEmpty()) {
        // Footer and extended header stay behind; whole-tag unsynchronisation of 2.4 is
        // the frames' own and comes along.
        head = header.mid(0, 5);
        head.append(char(flags & ~0x50));
        head.append(synchsafe(quint32(body.size())));
        head.append(body);
    }
    return std::make_unique<SplicedStream>(file, std::move(head), end);
}

} // namespace Id3v2Bounds
