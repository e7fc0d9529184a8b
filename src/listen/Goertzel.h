#pragma once

#include <cstddef>

namespace keytoner {

// Power of one frequency over a block, as the mean power of a sine of that frequency
// (amplitude A gives A * A / 2).
class Goertzel {
public:
    Goertzel() = default;
    Goertzel(double frequencyHz, int sampleRate);
    float power(const float *samples, std::size_t count) const;

private:
    float coefficient_ = 0.0f;
};

} // namespace keytoner
