#include "Signals.h"

#include <gtest/gtest.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

const char *const Layout = "123A456B789C*0#D";
const double Rows[] = {697, 770, 852, 941};
const double Columns[] = {1209, 1336, 1477, 1633};

struct DtmfCase {
    const char *name;
    std::string keys;
    double onMs;
    double offMs;
    int rate = 8000;
    double frequencyFactor = 1.0;
    double twistDb = 0.0; // high group louder by this much
    double noiseSigma = 0.0;
    std::string expected;
};

Sound keysSound(const DtmfCase &c)
{
    Sound sound{c.rate, {}};
    sound.silence(200);
    const double low = 6000.0;
    const double high = low * std::pow(10.0, c.twistDb / 20.0);
    for (const char key : c.keys) {
        const auto at = std::string_view(Layout).find(key);
        sound.tones(c.onMs, Rows[at / 4] * c.frequencyFactor, low,
                    Columns[at % 4] * c.frequencyFactor, high);
        sound.silence(c.offMs);
    }
    sound.silence(200);
    if (c.noiseSigma > 0.0)
        sound.noise(c.noiseSigma);
    return sound;
}

class DtmfKeys : public testing::TestWithParam<DtmfCase> {};

TEST_P(DtmfKeys, DecodesWhatATelephoneDecoderShould)
{
    const DtmfCase &c = GetParam();
    EXPECT_EQ(joined(listen(keysSound(c), true, false)), c.expected);
}

// Noise sigma 3000 is 10 dB under the two tones (6000 each) in the 4 kHz band.
INSTANTIATE_TEST_SUITE_P(
    Table, DtmfKeys,
    testing::Values(DtmfCase{"all keys", Layout, 40, 40, 8000, 1, 0, 0, Layout},
                    DtmfCase{"shortest timing", "159D", 25, 15, 8000, 1, 0, 0, "159D"},
                    DtmfCase{"repeats kept apart", "1122*##", 25, 15, 8000, 1, 0, 0, "1122*##"},
                    DtmfCase{"48 kHz input", "0A#", 60, 40, 48000, 1, 0, 0, "0A#"},
                    DtmfCase{"44.1 kHz input", "7C", 60, 40, 44100, 1, 0, 0, "7C"},
                    DtmfCase{"1.5 % high, 4 dB twist", "1593", 40, 40, 8000, 1.015, 4, 0, "1593"},
                    DtmfCase{"1.5 % low, 4 dB reverse twist", "2684", 40, 40, 8000, 0.985, -4, 0,
                             "2684"},
                    DtmfCase{"noise 10 dB under", "0123", 40, 40, 8000, 1, 0, 3000, "0123"},
                    DtmfCase{"too short", "55", 5, 40, 8000, 1, 0, 0, ""},
                    DtmfCase{"twist of 14 dB", "8", 60, 40, 8000, 1, 14, 0, ""},
                    DtmfCase{"6 % off frequency", "8", 60, 40, 8000, 1.06, 0, 0, ""}),
    CaseName());

struct NotAKeyCase {
    const char *name;
    double f1;
    double f2;
};

class DtmfRejects : public testing::TestWithParam<NotAKeyCase> {};

// Two tones of one group, one tone alone, or a tone with its own strong second harmonic are
// not keys, however long they last.
TEST_P(DtmfRejects, SteadyToneThatIsNoKey)
{
    Sound sound;
    sound.silence(100);
    sound.tones(300, GetParam().f1, 6000, GetParam().f2, GetParam().f2 > 0 ? 6000 : 0);
    sound.silence(100);
    EXPECT_EQ(joined(listen(sound, true, false)), "");
}

INSTANTIATE_TEST_SUITE_P(Table, DtmfRejects,
                         testing::Values(NotAKeyCase{"two_rows", 697, 852},
                                         NotAKeyCase{"one_tone", 1336, 0},
                                         NotAKeyCase{"harmonic", 697, 1394}),
                         CaseName());

TEST(DtmfTiming, EventCarriesTheKeysStart)
{
    Sound sound;
    sound.silence(500);
    sound.tones(60, 770, 6000, 1336, 6000);
    sound.silence(100);
    const auto events = listen(sound, true, false);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, ListenEvent::Kind::Dtmf);
    EXPECT_NEAR(events[0].timeSeconds, 0.5, 0.02);
}

} // namespace
