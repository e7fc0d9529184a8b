#include "Signals.h"

#include <gtest/gtest.h>

using namespace keytoner;
using namespace keytoner::test;

const char *const Layout = "123A456B789C*0#D";
const double Rows[] = {697, 770, 852, 941};
const double Columns[] = {1209, 1336, 1477, 1633};

// Keys sounded for onMs with offMs between them, each tone off by a factor, the high group louder
// by the twist. Noise sigma 3000 is 10 dB under the two tones (6000 each) in the 4 kHz band. Two
// tones of one group, one tone alone, or a tone with its own strong second harmonic are not keys,
// however long they last.
TEST(DtmfKeys, DecodesWhatATelephoneDecoderShould)
{
    const struct {
        std::string keys;
        double onMs, offMs;
        int rate;
        double factor, twistDb, noiseSigma;
        bool heard;
    } cases[] = {
        {Layout, 40, 40, 8000, 1, 0, 0, true},
        {"159D", 25, 15, 8000, 1, 0, 0, true},    // shortest timing
        {"1122*##", 25, 15, 8000, 1, 0, 0, true}, // repeats kept apart
        {"0A#", 60, 40, 48000, 1, 0, 0, true},
        {"7C", 60, 40, 44100, 1, 0, 0, true},
        {"1593", 40, 40, 8000, 1.015, 4, 0, true},
        {"2684", 40, 40, 8000, 0.985, -4, 0, true},
        {"0123", 40, 40, 8000, 1, 0, 3000, true},
        {"55", 5, 40, 8000, 1, 0, 0, false}, // too short
        {"8", 60, 40, 8000, 1, 14, 0, false},
        {"8", 60, 40, 8000, 1.06, 0, 0, false},
    };
    for (const auto &c : cases) {
        Sound sound{c.rate, {}};
        sound.silence(200);
        const double high = 6000.0 * std::pow(10.0, c.twistDb / 20.0);
        for (const char key : c.keys) {
            const auto at = std::string_view(Layout).find(key);
            sound.tones(c.onMs, Rows[at / 4] * c.factor, 6000.0, Columns[at % 4] * c.factor, high);
            sound.silence(c.offMs);
        }
        sound.silence(200);
        if (c.noiseSigma > 0.0)
            sound.noise(c.noiseSigma);
        EXPECT_EQ(joined(listen(sound, true, false)), c.heard ? c.keys : "")
            << c.keys << " at " << c.rate << " Hz, factor " << c.factor << ", " << c.twistDb;
    }
    for (const auto &[f1, f2] : {std::pair{697.0, 852.0}, {1336.0, 0.0}, {697.0, 1394.0}}) {
        Sound sound;
        sound.silence(100);
        sound.tones(300, f1, 6000, f2, 6000);
        sound.silence(100);
        EXPECT_EQ(joined(listen(sound, true, false)), "") << f1 << " " << f2;
    }
}
