// The spectrum rows behind the Listen window's waterfall: level scale, band placement, row rate.
#include "listen/WaterfallRows.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using namespace keytoner;

namespace {

std::vector<int16_t> sine(double hz, double amplitude, int rate, double seconds)
{
    std::vector<int16_t> samples(std::size_t(rate * seconds));
    for (std::size_t n = 0; n < samples.size(); ++n)
        samples[n] =
            int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * n / rate)));
    return samples;
}

struct ToneCase {
    const char *name;
    int rate;
    double hz;
    double amplitude;
    int band;      // of 120 bands of 25 Hz
    float levelDb; // 20 log10(amplitude / 32768)
};

class SpectrumTone : public testing::TestWithParam<ToneCase> {};

TEST_P(SpectrumTone, StrongestInItsBandAtItsLevel)
{
    const ToneCase &c = GetParam();
    Spectrum spectrum(c.rate);
    std::vector<std::vector<float>> rows;
    const std::vector<int16_t> samples = sine(c.hz, c.amplitude, c.rate, 1.0);
    spectrum.process(samples.data(), samples.size(), rows);
    // Fifty rows a second whatever the rate.
    ASSERT_EQ(rows.size(), 50u);
    const std::vector<float> &row = rows.back();
    ASSERT_EQ(row.size(), 120u);
    // Within the window's scalloping loss.
    EXPECT_NEAR(row[std::size_t(c.band)], c.levelDb, 1.6);
    // A band 300 Hz away is far below.
    const std::size_t away = std::size_t(c.band >= 12 ? c.band - 12 : c.band + 12);
    EXPECT_LT(row[away], c.levelDb - 40.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, SpectrumTone,
    testing::Values(ToneCase{"Dtmf697At8k", 8000, 697.0, 10000.0, 27, -10.31f},
                    ToneCase{"Cw800At48kQuiet", 48000, 800.0, 327.68, 32, -40.0f},
                    ToneCase{"Dtmf1633At44k", 44100, 1633.0, 16384.0, 65, -6.02f},
                    ToneCase{"Top2990At16k", 16000, 2990.0, 32767.0, 119, 0.0f}),
    [](const testing::TestParamInfo<ToneCase> &info) { return info.param.name; });

TEST(Spectrum, SilenceStaysAtTheFloorAndRowsSpanBlocks)
{
    Spectrum spectrum(8000);
    std::vector<std::vector<float>> rows;
    const std::vector<int16_t> silence(100, 0);
    // 160 samples make one row at 8000 Hz: 100 + 100 gives one, with 40 carried over.
    spectrum.process(silence.data(), silence.size(), rows);
    EXPECT_TRUE(rows.empty());
    spectrum.process(silence.data(), silence.size(), rows);
    ASSERT_EQ(rows.size(), 1u);
    for (const float level : rows[0])
        EXPECT_EQ(level, Spectrum::FloorDb);
}

} // namespace
