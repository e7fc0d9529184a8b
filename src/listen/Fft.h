#pragma once

#include <complex>
#include <vector>

namespace keytoner {

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<float>> &data);

} // namespace keytoner
