#include "Fft.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace keytoner {

namespace {

void bitReverse(std::vector<std::complex<float>> &data)
{
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
}

} // namespace

void fft(std::vector<std::complex<float>> &data)
{
    const std::size_t n = data.size();
    bitReverse(data);
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / double(length);
        const std::complex<float> step(float(std::cos(angle)), float(std::sin(angle)));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<float> twiddle(1.0f, 0.0f);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<float> even = data[start + k];
                const std::complex<float> odd = data[start + k + length / 2] * twiddle;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
}

} // namespace keytoner
