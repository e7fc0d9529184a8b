#include "Signals.h"
#include "listen/Resampler.h"

#include <gtest/gtest.h>

using namespace keytoner;

// One second of a sine of amplitude 0.5 (RMS 0.354): tones below 3.4 kHz pass to the 8000 Hz output
// at full level, tones that would fold into the tone bands are gone.
TEST(Resampler, KeepsTheBandAndDropsWhatWouldFold)
{
    const struct {
        int rate;
        double toneHz, rms;
    } cases[] = {{8000, 1000, 0.354}, {48000, 1209, 0.354},      {44100, 3000, 0.354},
                 {48000, 7000, 0.0},  {16000, 9000 - 1209, 0.0}, {6000, 697, 0.354}};
    for (const auto &c : cases) {
        test::Sound sound{c.rate, {}};
        sound.tones(1000, c.toneHz, 16384.0);
        const std::vector<int16_t> input = sound.pcm();
        Resampler resampler(c.rate);
        std::vector<float> out;
        // Odd block sizes, so that output instants fall across block ends.
        for (std::size_t at = 0; at < input.size(); at += 333)
            resampler.process(input.data() + at, std::min<std::size_t>(333, input.size() - at),
                              out);
        EXPECT_NEAR(static_cast<double>(out.size()), 8000.0, 1.0) << c.rate;
        double sum = 0.0;
        for (std::size_t n = 1000; n < out.size(); ++n) // past the filter's start
            sum += out[n] * out[n];
        EXPECT_NEAR(std::sqrt(sum / (out.size() - 1000)), c.rms, 0.02) << c.rate << " " << c.toneHz;
    }
}
