#include "support/generated_audio.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace testsupport {
namespace {

void appendTag(std::vector<char>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

template <typename T> void appendLittleEndian(std::vector<char>& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

} // namespace

bool writeToneWav(const QString& path, double seconds, int sampleRate, double frequency) {
    if (sampleRate <= 0 || !(seconds >= 0))
        return false;
    constexpr std::uint16_t channels = 1;
    constexpr std::uint16_t bitsPerSample = 16;
    constexpr std::uint16_t blockAlign = channels * bitsPerSample / 8;
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * sampleRate));
    const std::uint32_t dataBytes = frames * blockAlign;

    std::vector<char> wav;
    wav.reserve(44 + dataBytes);
    appendTag(wav, "RIFF");
    appendLittleEndian<std::uint32_t>(wav, 36 + dataBytes);
    appendTag(wav, "WAVE");
    appendTag(wav, "fmt ");
    appendLittleEndian<std::uint32_t>(wav, 16);
    appendLittleEndian<std::uint16_t>(wav, 1); // integer PCM
    appendLittleEndian<std::uint16_t>(wav, channels);
    appendLittleEndian<std::uint32_t>(wav, static_cast<std::uint32_t>(sampleRate));
    appendLittleEndian<std::uint32_t>(wav, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    appendLittleEndian<std::uint16_t>(wav, blockAlign);
    appendLittleEndian<std::uint16_t>(wav, bitsPerSample);
    appendTag(wav, "data");
    appendLittleEndian<std::uint32_t>(wav, dataBytes);

    // Half amplitude leaves headroom so no resampler downstream clips the tone.
    const double step = 2 * std::numbers::pi * frequency / sampleRate;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::int16_t>(std::lround(16000 * std::sin(step * i)));
        appendLittleEndian<std::int16_t>(wav, sample);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(wav.data(), static_cast<qint64>(wav.size())) ==
               static_cast<qint64>(wav.size()) &&
           file.flush();
}

} // namespace testsupport
