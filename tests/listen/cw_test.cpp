#include "Signals.h"
#include "listen/MorseTable.h"
#include "tone/MorseSynthesis.h"

#include <gtest/gtest.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

struct CwCase {
    const char *name;
    std::string text;
    int wpm;
    int secondWpm = 0; // the text after " / " at this speed
    int rate = 8000;
    double toneHz = 700.0;
    double noiseSigma = 0.0;
    std::string expected;
    int ditherLsb = 0; // after 133 ms of digital silence, as a live stream may start
};

Sound morseSound(const CwCase &c)
{
    Sound sound{c.rate, {}};
    sound.silence(300);
    const auto split = c.text.find(" / ");
    sound.append(synthesiseMorse(c.text.substr(0, split), c.wpm, c.rate, c.toneHz));
    if (split != std::string::npos) {
        // A word space that reads as one at either speed.
        sound.silence(5 * std::max(morseDitMs(c.wpm), morseDitMs(c.secondWpm)));
        sound.append(synthesiseMorse(c.text.substr(split + 3), c.secondWpm, c.rate, c.toneHz));
    }
    sound.silence(500);
    if (c.noiseSigma > 0.0)
        sound.noise(c.noiseSigma, 3);
    if (c.ditherLsb > 0)
        sound.dither(c.ditherLsb, 133);
    return sound;
}

class CwText : public testing::TestWithParam<CwCase> {};

TEST_P(CwText, ReadsTheText)
{
    const CwCase &c = GetParam();
    EXPECT_EQ(joined(listen(morseSound(c), false, true)), c.expected);
}

// Sigma 2000 against a 10000 tone: 8 dB in a 3 kHz band.
INSTANTIATE_TEST_SUITE_P(
    Table, CwText,
    testing::Values(
        CwCase{"slowest", "CQ DE N0CALL", 14, 0, 8000, 700, 0, "CQ DE N0CALL"},
        CwCase{"fastest", "PARIS PARIS 73", 150, 0, 8000, 700, 0, "PARIS PARIS 73"},
        CwCase{"100 wpm noisy", "TEST DE N0CALL K", 100, 0, 8000, 1000, 2000, "TEST DE N0CALL K"},
        CwCase{"25 wpm noisy", "QTH PARIS 599", 25, 0, 8000, 450, 2000, "QTH PARIS 599"},
        CwCase{"48 kHz, high tone", "ABC 123", 35, 0, 48000, 1400, 0, "ABC 123"},
        CwCase{"prosign and signs", "TU <AR> = ?", 20, 0, 8000, 600, 0, "TU <AR> = ?"},
        CwCase{"speeds up", "CQ CQ DE N0CALL / N0CALL PSE K", 20, 40, 8000, 700, 0,
               "CQ CQ DE N0CALL N0CALL PSE K"},
        CwCase{"slows down", "CQ CQ DE N0CALL / N0CALL PSE K", 60, 30, 8000, 700, 0,
               "CQ CQ DE N0CALL N0CALL PSE K"},
        CwCase{"near-silent dither first", "N0CALL", 20, 0, 44100, 700, 0, "N0CALL", 2}),
    CaseName());

TEST(CwNoise, NoiseAloneWritesNothing)
{
    Sound sound;
    sound.silence(10000);
    sound.noise(3000, 5);
    EXPECT_EQ(joined(listen(sound, false, true)), "");
}

// The half-amplitude length of the first mark, and where the next one starts, in samples.
struct Keyed {
    long markLength = 0;
    long nextStart = -1;
};

Keyed firstMarks(const std::vector<int16_t> &samples, int rate)
{
    // A 1000 Hz tone: the sample a quarter period later is the quadrature, so the two give the
    // envelope, compared with half the amplitude (10000).
    const auto quarter = static_cast<std::size_t>(rate / 4000);
    auto keyed = [&](std::size_t n) {
        const double later = n + quarter < samples.size() ? samples[n + quarter] : 0;
        return std::hypot(static_cast<double>(samples[n]), later) >= 5000.0;
    };
    Keyed result;
    long start = -1;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const bool on = keyed(n);
        if (on && start < 0)
            start = static_cast<long>(n);
        else if (!on && start >= 0 && result.markLength == 0)
            result.markLength = static_cast<long>(n) - start;
        else if (on && result.markLength > 0) {
            result.nextStart = static_cast<long>(n) - start;
            break;
        }
    }
    return result;
}

struct DitCase {
    const char *text;
    int wpm;
    int rate;
    long markSamples;      // half-amplitude length of the first mark
    long nextStartSamples; // from the first mark's start to the second's
};

void PrintTo(const DitCase &c, std::ostream *os)
{
    *os << c.text << " at " << c.wpm << " WPM, " << c.rate << " Hz";
}

class MorseDits : public testing::TestWithParam<DitCase> {};

// 1190 / WPM ms, rounded: 85 ms at 14, 60 ms at 20, 8 ms at 150 (48 samples per ms at 48 kHz).
TEST_P(MorseDits, KeysTheBoardsDitLength)
{
    const DitCase &c = GetParam();
    const Keyed keyed = firstMarks(synthesiseMorse(c.text, c.wpm, c.rate, 1000.0), c.rate);
    EXPECT_NEAR(keyed.markLength, c.markSamples, 2);
    EXPECT_NEAR(keyed.nextStart, c.nextStartSamples, 2);
}

INSTANTIATE_TEST_SUITE_P(Table, MorseDits,
                         testing::Values(DitCase{"I", 14, 8000, 680, 1360}, // dit, dit
                                         DitCase{"I", 20, 8000, 480, 960},
                                         DitCase{"I", 28, 8000, 336, 672}, // 42.5 -> 42
                                         DitCase{"I", 150, 48000, 384, 768},
                                         DitCase{"TE", 20, 8000, 1440, 2880},   // dah, letter gap
                                         DitCase{"E E", 20, 8000, 480, 3840})); // word gap

TEST(MorseTable, ProsignsAndSharedCodes)
{
    EXPECT_EQ(morseText(".-.-."), "<AR>");
    EXPECT_EQ(morseText("-...-"), "=");
    EXPECT_EQ(morseText("...-.-"), "<SK>");
    EXPECT_EQ(morseText("......."), "*");
    EXPECT_EQ(morseCode("<AR>"), std::optional<std::string_view>(".-.-."));
    EXPECT_EQ(morseCode("q"), std::optional<std::string_view>("--.-"));
    EXPECT_FALSE(morseCode("<"));
}

} // namespace

namespace {

// Both detectors on one channel: our own keys, then the board's reply in Morse. The keys' tones
// are not read as Morse, and the reply starts with its first character.
TEST(ListenBoth, KeysThenReply)
{
    Sound sound;
    sound.silence(200);
    for (const auto &[row, column] : {std::pair{852.0, 1209.0}, std::pair{941.0, 1477.0}}) {
        sound.tones(60, row, 6000, column, 6000); // 7 #
        sound.silence(40);
    }
    sound.silence(400);
    sound.append(synthesiseMorse("DE N0CALL", 20, 8000, 700.0));
    sound.silence(500);
    sound.noise(300, 9);
    std::string dtmf;
    std::string cw;
    for (const ListenEvent &event : listen(sound, true, true))
        (event.kind == ListenEvent::Kind::Dtmf ? dtmf : cw) += event.text;
    EXPECT_EQ(dtmf, "7#");
    EXPECT_EQ(cw, "DE N0CALL");
}

} // namespace
