#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace keytoner {

// A standard RIFF/WAVE file: PCM, 1 channel, 8000 samples per second, 16 bits, little-endian.
QByteArray wavFileBytes(const std::vector<int16_t> &samples);

} // namespace keytoner
