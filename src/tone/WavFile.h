#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace keytoner {

// A standard RIFF/WAVE file: PCM, 1 channel, 8000 samples per second, 16 bits, little-endian.
QByteArray wavFileBytes(const std::vector<int16_t> &samples);

// A WAV file's sound as 16-bit mono (channels averaged) at its own rate.
struct WavSound {
    int sampleRate = 0;
    std::vector<int16_t> samples;
};

// Reads PCM of 8 or 16 bits and 32-bit float, 1 to 8 channels, 1000 to 384000 samples per
// second; a data chunk that claims more than the file holds is read as far as it goes. Sets
// `problem` and returns nothing for anything else.
std::optional<WavSound> readWavBytes(const QByteArray &bytes, QString &problem);

} // namespace keytoner
