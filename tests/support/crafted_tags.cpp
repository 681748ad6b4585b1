#include "support/crafted_tags.h"

#include <QFile>
#include <QtEndian>
#include <zlib.h>

namespace testsupport {

namespace {

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray synchsafe(quint32 value) {
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i, value >>= 7)
        bytes[i] = char(value & 0x7F);
    return bytes;
}

// The fields of a synchronised lyrics frame in milliseconds, then entries of one letter each.
QByteArray syltHead() {
    return QByteArray("\x00"
                      "eng"
                      "\x02"
                      "\x01"
                      "\x00",
                      7);
}
QByteArray syltEntries(int count) {
    QByteArray entries;
    entries.reserve(count * 6);
    for (int i = 0; i < count; ++i)
        entries.append("a\0\0\0\0\0", 6);
    return entries;
}

// zlib's packing of count entries, made a block at a time so that the test never holds them.
QByteArray packedSylt(int count, quint32* unpacked) {
    const QByteArray block = syltEntries(10'000);
    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray packed;
    char out[64 * 1024];
    const auto pump = [&](const QByteArray& in, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
        stream.avail_in = uInt(in.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            packed.append(out, qsizetype(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    pump(syltHead(), Z_NO_FLUSH);
    for (int done = 0; done < count; done += 10'000)
        pump(block, Z_NO_FLUSH);
    pump({}, Z_FINISH);
    *unpacked = quint32(stream.total_in);
    deflateEnd(&stream);
    return packed;
}

QByteArray tag(int major, const QByteArray& frames) {
    return QByteArray("ID3") + char(major) + '\0' + '\0' + synchsafe(quint32(frames.size())) +
           frames;
}

QByteArray frame(int major, const char* id, const QByteArray& data, quint8 format = 0) {
    const QByteArray size = major == 4 ? synchsafe(quint32(data.size())) : bigEndian(data.size());
    return QByteArray(id, 4) + size + '\0' + char(format) + data;
}

// A few MPEG audio frames of silence after the tag.
QByteArray audio() {
    QByteArray frames;
    for (int i = 0; i < 8; ++i)
        frames.append(QByteArray("\xFF\xFB\x90\x64", 4)).append(QByteArray(413, '\0'));
    return frames;
}

QByteArray packedV23() {
    quint32 unpacked = 0;
    const QByteArray packed = packedSylt(16'000'000, &unpacked);
    return tag(3, frame(3, "SYLT", bigEndian(unpacked) + packed, 0x80)) + audio();
}

QByteArray packedV24AfterJunk() {
    quint32 unpacked = 0;
    const QByteArray packed = packedSylt(16'000'000, &unpacked);
    return QByteArray(16, 'j') + tag(4, frame(4, "SYLT", synchsafe(unpacked) + packed, 0x09)) +
           audio();
}

QByteArray highBitSize() {
    QByteArray title = frame(4, "TIT2",
                             QByteArray("\x03"
                                        "title",
                                        6));
    title[7] = char(0x86); // the size's last byte: 6 with the high bit set
    const QByteArray lyrics = syltHead() + syltEntries(3'000'000);
    return tag(4, title + QByteArray(0x80, '\0') + frame(4, "SYLT", lyrics)) + audio();
}

QByteArray manyFrames() {
    QByteArray frames;
    const QByteArray one = frame(3, "SYLT", syltHead() + syltEntries(150'000));
    for (int i = 0; i < 20; ++i)
        frames.append(one);
    return tag(3, frames) + audio();
}

QByteArray wavChunk() {
    const QByteArray tagged = tag(3, frame(3, "SYLT", syltHead() + syltEntries(3'000'000)));
    QByteArray format("fmt ", 4);
    format += QByteArray("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0", 20);
    QByteArray body = QByteArray("WAVE") + format + QByteArray("data\x10\0\0\0", 8) +
                      QByteArray(16, '\0') + "id3 ";
    QByteArray size(4, '\0');
    qToLittleEndian(quint32(tagged.size()), size.data());
    body += size + tagged;
    qToLittleEndian(quint32(body.size()), size.data());
    return "RIFF" + size + body;
}

} // namespace

QList<CraftedFile> writeCraftedFiles(const QString& folder) {
    const struct {
        const char* name;
        QByteArray (*make)();
    } files[] = {
        {"packed_v23.mp3", packedV23},      {"packed_v24_after_junk.mp3", packedV24AfterJunk},
        {"high_bit_size.mp3", highBitSize}, {"many_frames.mp3", manyFrames},
        {"id3_chunk.wav", wavChunk},
    };
    QList<CraftedFile> written;
    for (const auto& file : files) {
        QFile out(folder + u'/' + QString::fromUtf8(file.name));
        if (out.open(QIODevice::WriteOnly) && out.write(file.make()) >= 0)
            written << CraftedFile{QString::fromUtf8(file.name), out.fileName()};
    }
    // Sparse: the tag's padding is a hole in the file.
    constexpr quint32 PaddingBytes = 250u * 1024 * 1024;
    QFile padded(folder + QStringLiteral("/padding.mp3"));
    const QByteArray header = QByteArray("ID3\x03\x00\x00", 6) + synchsafe(PaddingBytes);
    if (padded.open(QIODevice::WriteOnly) && padded.write(header) == header.size() &&
        padded.resize(header.size() + PaddingBytes) && padded.seek(padded.size()) &&
        padded.write(audio()) > 0)
        written << CraftedFile{QStringLiteral("padding.mp3"), padded.fileName()};
    return written;
}

} // namespace testsupport
