#pragma once

#include <QString>

namespace testsupport {

// Writes a mono 16-bit PCM WAV holding a sine tone, replacing any file at `path`.
// The defaults keep one second under 16 KiB, so tests can make media freely.
// Returns false when the file cannot be written.
bool writeToneWav(const QString& path, double seconds, int sampleRate = 8000,
                  double frequency = 440.0);

} // namespace testsupport
