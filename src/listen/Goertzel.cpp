#include "Goertzel.h"

#include <cmath>
#include <numbers>

namespace keytoner {

Goertzel::Goertzel(double frequencyHz, int sampleRate)
    : coefficient_(
          static_cast<float>(2.0 * std::cos(2.0 * std::numbers::pi * frequencyHz / sampleRate)))
{
}

float Goertzel::power(const float *samples, std::size_t count) const
{
    float s1 = 0.0f;
    float s2 = 0.0f;
    for (std::size_t n = 0; n < count; ++n) {
        const float s0 = samples[n] + coefficient_ * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const float squared = s1 * s1 + s2 * s2 - coefficient_ * s1 * s2;
    const auto length = static_cast<float>(count);
    return 2.0f * squared / (length * length);
}

} // namespace keytoner
