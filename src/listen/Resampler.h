#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace keytoner {

// Any input rate to the detectors' 8000 samples per second, as floats in -1..1. Above 8000 Hz
// a windowed-sinc low-pass at the input rate keeps what lies above 3.5 kHz from folding into
// the tone bands; output samples fall between input samples and are interpolated linearly
// between filtered values, which are computed only where an output needs them.
class Resampler {
public:
    static constexpr int OutputRate = 8000;

    explicit Resampler(int inputRate);
    void process(const int16_t *samples, std::size_t count, std::vector<float> &out);

private:
    float filtered() const;

    std::vector<float> taps_;
    std::vector<float> history_; // twice the taps, so that the newest window is contiguous
    std::size_t head_ = 0;
    double step_ = 1.0;     // input samples per output sample
    double position_ = 1.0; // next output, in input samples after the newest one
    float previous_ = 0.0f; // filtered value at the newest input
};

} // namespace keytoner
