#include "listen/Resampler.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace keytoner;

namespace {

struct ResampleCase {
    int rate;
    double toneHz;
    double expectedRms; // of the 8000 Hz output, full scale 1
};

class ResamplerRates : public testing::TestWithParam<ResampleCase> {};

// One second of a sine of amplitude 0.5 (RMS 0.354): tones below 3.4 kHz pass at full level,
// tones that would fold into the tone bands are gone.
TEST_P(ResamplerRates, KeepsTheBandAndDropsWhatWouldFold)
{
    const ResampleCase &c = GetParam();
    std::vector<int16_t> input(static_cast<std::size_t>(c.rate));
    for (std::size_t n = 0; n < input.size(); ++n)
        input[n] = static_cast<int16_t>(
            std::lround(16384.0 * std::sin(2 * std::numbers::pi * c.toneHz * n / c.rate)));
    Resampler resampler(c.rate);
    std::vector<float> out;
    // Odd block sizes, so that output instants fall across block ends.
    for (std::size_t at = 0; at < input.size(); at += 333)
        resampler.process(input.data() + at, std::min<std::size_t>(333, input.size() - at), out);
    EXPECT_NEAR(static_cast<double>(out.size()), 8000.0, 1.0);
    double sum = 0.0;
    for (std::size_t n = 1000; n < out.size(); ++n) // past the filter's start
        sum += out[n] * out[n];
    EXPECT_NEAR(std::sqrt(sum / (out.size() - 1000)), c.expectedRms, 0.02);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResamplerRates,
    testing::Values(ResampleCase{8000, 1000, 0.354}, ResampleCase{48000, 1209, 0.354},
                    ResampleCase{44100, 3000, 0.354}, ResampleCase{48000, 7000, 0.0},
                    ResampleCase{16000, 9000 - 1209, 0.0}, ResampleCase{6000, 697, 0.354}));

} // namespace
