#include "support/generated_media.h"

#include "support/generated_audio.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <array>
#include <cstdint>

namespace testsupport {
namespace {

void appendBigEndian32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendBigEndian16(QByteArray& out, std::uint16_t value) {
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLittleEndian32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLittleEndian16(QByteArray& out, std::uint16_t value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

// MPEG-1 layer III at 32 kbit/s and 32 kHz, mono: 144-byte frames of 36 ms each.
QByteArray mp3(int seconds) {
    const QByteArray header("\xFF\xFB\x18\xC0", 4);
    QByteArray out;
    const int frames = seconds * 32000 / 1152;
    for (int i = 0; i < frames; ++i)
        out += header + QByteArray(144 - 4, '\0');
    return out;
}

QByteArray flac(int seconds) {
    constexpr std::uint32_t rate = 8000;
    const std::uint64_t samples = std::uint64_t(seconds) * rate;
    QByteArray out("fLaC");
    appendBigEndian32(out, 0x80000000u | 34); // the last metadata block: STREAMINFO
    appendBigEndian16(out, 4096);
    appendBigEndian16(out, 4096);
    out += QByteArray(6, '\0'); // frame sizes unknown
    // 20 bits of rate, 3 of channels less one (mono), 5 of bits per sample less one (16),
    // 36 of the sample count.
    const std::uint64_t packed = (std::uint64_t(rate) << 44) | (std::uint64_t(0) << 41) |
                                 (std::uint64_t(15) << 36) | samples;
    for (int shift = 56; shift >= 0; shift -= 8)
        out += char((packed >> shift) & 0xFF);
    out += QByteArray(16, '\0'); // no MD5 of the audio
    out += QByteArray("\xFF\xF8", 2) + QByteArray(62, '\0');
    return out;
}

std::uint32_t oggCrc(const QByteArray& page) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    std::uint32_t crc = 0;
    for (const char c : page)
        crc = (crc << 8) ^ table[((crc >> 24) ^ std::uint8_t(c)) & 0xFF];
    return crc;
}

// One Ogg page holding one whole packet (shorter than 255 * 255 bytes).
QByteArray oggPage(const QByteArray& packet, std::uint32_t sequence, std::uint64_t granule,
                   char flags) {
    QByteArray page("OggS");
    page += '\0';
    page += flags;
    for (int i = 0; i < 8; ++i)
        page += char((granule >> (8 * i)) & 0xFF);
    appendLittleEndian32(page, 0x5645); // stream serial number
    appendLittleEndian32(page, sequence);
    appendLittleEndian32(page, 0); // checksum, filled in below
    QByteArray lacing;
    qsizetype left = packet.size();
    while (left >= 255) {
        lacing += char(255);
        left -= 255;
    }
    lacing += char(left);
    page += char(lacing.size());
    page += lacing;
    page += packet;
    const std::uint32_t crc = oggCrc(page);
    qToLittleEndian(crc, page.data() + 22);
    return page;
}

QByteArray oggVorbis(int seconds) {
    constexpr std::uint32_t rate = 8000;
    QByteArray identification("\x01vorbis");
    appendLittleEndian32(identification, 0);
    identification += char(1);
    appendLittleEndian32(identification, rate);
    appendLittleEndian32(identification, 0);
    appendLittleEndian32(identification, 16000);
    appendLittleEndian32(identification, 0);
    identification += char(0x88); // block sizes 256 and 256
    identification += char(1);
    QByteArray comment("\x03vorbis");
    appendLittleEndian32(comment, 4);
    comment += "test";
    appendLittleEndian32(comment, 0);
    comment += char(1);
    const QByteArray setup = QByteArray("\x05vorbis") + QByteArray(32, '\0');
    return oggPage(identification, 0, 0, 0x02) + oggPage(comment, 1, 0, 0) +
           oggPage(setup, 2, 0, 0) + oggPage(QByteArray(64, '\0'), 3, 0, 0) +
           oggPage(QByteArray(64, '\0'), 4, std::uint64_t(seconds) * rate, 0x04);
}

QByteArray opus(int seconds) {
    QByteArray head("OpusHead");
    head += char(1);
    head += char(1);
    appendLittleEndian16(head, 312); // pre-skip
    appendLittleEndian32(head, 48000);
    appendLittleEndian16(head, 0);
    head += char(0);
    QByteArray tags("OpusTags");
    appendLittleEndian32(tags, 4);
    tags += "test";
    appendLittleEndian32(tags, 0);
    return oggPage(head, 0, 0, 0x02) + oggPage(tags, 1, 0, 0) +
           oggPage(QByteArray(64, '\0'), 2, 0, 0) +
           oggPage(QByteArray(64, '\0'), 3, std::uint64_t(seconds) * 48000 + 312, 0x04);
}

QByteArray atom(const char* type, const QByteArray& payload) {
    QByteArray out;
    appendBigEndian32(out, std::uint32_t(8 + payload.size()));
    out += QByteArray(type, 4);
    out += payload;
    return out;
}

QByteArray m4a(int seconds) {
    constexpr std::uint32_t rate = 44100;
    QByteArray ftyp("M4A ");
    appendBigEndian32(ftyp, 0);
    ftyp += "M4A isom";

    QByteArray mvhd(12, '\0'); // version, flags, creation and modification times
    appendBigEndian32(mvhd, 1000);
    appendBigEndian32(mvhd, std::uint32_t(seconds) * 1000);
    appendBigEndian32(mvhd, 0x00010000);
    appendBigEndian16(mvhd, 0x0100);
    mvhd += QByteArray(10, '\0');
    for (const std::uint32_t m : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u})
        appendBigEndian32(mvhd, m);
    mvhd += QByteArray(24, '\0');
    appendBigEndian32(mvhd, 2);

    QByteArray mdhd(12, '\0');
    appendBigEndian32(mdhd, rate);
    appendBigEndian32(mdhd, std::uint32_t(seconds) * rate);
    appendBigEndian32(mdhd, 0);

    QByteArray hdlr(8, '\0');
    hdlr += "soun";
    hdlr += QByteArray(13, '\0');

    QByteArray mp4a(6, '\0');
    appendBigEndian16(mp4a, 1);
    mp4a += QByteArray(8, '\0');
    appendBigEndian16(mp4a, 2);
    appendBigEndian16(mp4a, 16);
    appendBigEndian32(mp4a, 0);
    appendBigEndian32(mp4a, rate << 16);
    QByteArray stsd(4, '\0');
    appendBigEndian32(stsd, 1);
    stsd += atom("mp4a", mp4a);

    const QByteArray trak =
        atom("trak", atom("mdia", atom("mdhd", mdhd) + atom("hdlr", hdlr) +
                                      atom("minf", atom("stbl", atom("stsd", stsd)))));
    return atom("ftyp", ftyp) + atom("moov", atom("mvhd", mvhd) + trak) +
           atom("mdat", QByteArray(256, '\0'));
}

} // namespace

bool writeBareMedia(const QString& path, MediaContainer container, int seconds) {
    QByteArray bytes;
    switch (container) {
    case MediaContainer::Mp3:
        bytes = mp3(seconds);
        break;
    case MediaContainer::Flac:
        bytes = flac(seconds);
        break;
    case MediaContainer::OggVorbis:
        bytes = oggVorbis(seconds);
        break;
    case MediaContainer::Opus:
        bytes = opus(seconds);
        break;
    case MediaContainer::M4a:
        bytes = m4a(seconds);
        break;
    case MediaContainer::Wav:
        return writeToneWav(path, seconds, 800);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace testsupport
