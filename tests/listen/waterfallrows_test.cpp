// The spectrum rows behind the Listen window's waterfall: level scale, band placement, row rate.
#include "Signals.h"
#include "listen/WaterfallRows.h"

#include <gtest/gtest.h>

using namespace keytoner;

// One second of a tone: fifty rows whatever the rate, of 120 bands of 25 Hz; the tone's band at 20
// log10(amplitude / 32768) within the window's scalloping loss, one 300 Hz away far below.
TEST(Spectrum, RowsOfTonesAndSilence)
{
    const struct {
        int rate;
        double hz, amplitude;
        std::size_t band;
        float levelDb;
    } cases[] = {
        {8000, 697.0, 10000.0, 27, -10.31f},
        {48000, 800.0, 327.68, 32, -40.0f},
        {44100, 1633.0, 16384.0, 65, -6.02f},
        {16000, 2990.0, 32767.0, 119, 0.0f},
    };
    for (const auto &c : cases) {
        test::Sound sound{c.rate, {}};
        sound.tones(1000, c.hz, c.amplitude);
        const std::vector<int16_t> samples = sound.pcm();
        Spectrum spectrum(c.rate);
        std::vector<std::vector<float>> rows;
        spectrum.process(samples.data(), samples.size(), rows);
        ASSERT_EQ(rows.size(), 50u) << c.rate;
        const std::vector<float> &row = rows.back();
        ASSERT_EQ(row.size(), 120u);
        EXPECT_NEAR(row[c.band], c.levelDb, 1.6) << c.hz;
        EXPECT_LT(row[c.band >= 12 ? c.band - 12 : c.band + 12], c.levelDb - 40.0f) << c.hz;
    }
    Spectrum spectrum(8000);
    std::vector<std::vector<float>> rows;
    const std::vector<int16_t> silence(100, 0);
    // 160 samples make one row at 8000 Hz: 100 + 100 gives one, with 40 carried over.
    spectrum.process(silence.data(), silence.size(), rows);
    EXPECT_TRUE(rows.empty());
    spectrum.process(silence.data(), silence.size(), rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], std::vector<float>(120, Spectrum::FloorDb));
}
