#include "Signals.h"
#include "listen/MorseTable.h"
#include "tone/MorseSynthesis.h"

#include <gtest/gtest.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

// The second text follows at its own speed. Sigma 2000 against a 10000 tone is 8 dB in a 3 kHz
// band; dither follows 133 ms of digital silence, as a live stream may start. Noise alone writes
// nothing.
TEST(CwText, ReadsTheText)
{
    const struct {
        std::string text;
        int wpm;
        std::string second;
        int secondWpm, rate;
        double toneHz, noiseSigma;
        int ditherLsb;
    } cases[] = {
        {"CQ DE N0CALL", 14, "", 0, 8000, 700, 0, 0},
        {"PARIS PARIS 73", 150, "", 0, 8000, 700, 0, 0},
        {"TEST DE N0CALL K", 100, "", 0, 8000, 1000, 2000, 0},
        {"QTH PARIS 599", 25, "", 0, 8000, 450, 2000, 0},
        {"ABC 123", 35, "", 0, 48000, 1400, 0, 0},
        {"TU <AR> = ?", 20, "", 0, 8000, 600, 0, 0},
        {"CQ CQ DE N0CALL", 20, "N0CALL PSE K", 40, 8000, 700, 0, 0},
        {"CQ CQ DE N0CALL", 60, "N0CALL PSE K", 30, 8000, 700, 0, 0},
        {"N0CALL", 20, "", 0, 44100, 700, 0, 2},
    };
    for (const auto &c : cases) {
        Sound sound{c.rate, {}};
        sound.silence(300);
        sound.append(synthesiseMorse(c.text, c.wpm, c.rate, c.toneHz));
        std::string sent = c.text;
        if (!c.second.empty()) {
            // A word space that reads as one at either speed.
            sound.silence(5 * std::max(morseDitMs(c.wpm), morseDitMs(c.secondWpm)));
            sound.append(synthesiseMorse(c.second, c.secondWpm, c.rate, c.toneHz));
            sent.append(" ").append(c.second);
        }
        sound.silence(500);
        if (c.noiseSigma > 0.0)
            sound.noise(c.noiseSigma, 3);
        if (c.ditherLsb > 0)
            sound.dither(c.ditherLsb, 133);
        EXPECT_EQ(joined(listen(sound, false, true)), sent) << c.text << " at " << c.wpm;
    }
    Sound noise;
    noise.silence(10000);
    noise.noise(3000, 5);
    EXPECT_EQ(joined(listen(noise, false, true)), "");
}

// The half-amplitude length of the first mark, and where the next one starts, in samples.
std::pair<long, long> firstMarks(const std::vector<int16_t> &samples, int rate)
{
    // A 1000 Hz tone: the sample a quarter period later is the quadrature, so the two give the
    // envelope, compared with half the amplitude (10000).
    const auto quarter = static_cast<std::size_t>(rate / 4000);
    long start = -1;
    long length = 0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const double later = n + quarter < samples.size() ? samples[n + quarter] : 0;
        const bool on = std::hypot(static_cast<double>(samples[n]), later) >= 5000.0;
        if (on && start < 0)
            start = static_cast<long>(n);
        else if (!on && start >= 0 && length == 0)
            length = static_cast<long>(n) - start;
        else if (on && length > 0)
            return {length, static_cast<long>(n) - start};
    }
    return {length, -1};
}

// 1190 / WPM ms, rounded: 85 ms at 14, 60 ms at 20, 8 ms at 150 (48 samples per ms at 48 kHz). The
// first mark's length, and the distance from its start to the second mark's.
TEST(Morse, KeysTheBoardsDitLengthFromTheTable)
{
    const struct {
        const char *text;
        int wpm, rate;
        std::pair<long, long> marks;
    } cases[] = {
        {"I", 14, 8000, {680, 1360}},                                   // dit, dit
        {"I", 20, 8000, {480, 960}},    {"I", 28, 8000, {336, 672}},    // 42.5 -> 42
        {"I", 150, 48000, {384, 768}},  {"TE", 20, 8000, {1440, 2880}}, // dah, letter gap
        {"E E", 20, 8000, {480, 3840}},                                 // word gap
    };
    for (const auto &c : cases) {
        const auto [mark, next] =
            firstMarks(synthesiseMorse(c.text, c.wpm, c.rate, 1000.0), c.rate);
        EXPECT_NEAR(mark, c.marks.first, 2) << c.text << " at " << c.wpm;
        EXPECT_NEAR(next, c.marks.second, 2) << c.text << " at " << c.wpm;
    }
    EXPECT_EQ(morseText(".-.-."), "<AR>");
    EXPECT_EQ(morseText("-...-"), "=");
    EXPECT_EQ(morseText("...-.-"), "<SK>");
    EXPECT_EQ(morseText("......."), "*");
    EXPECT_EQ(morseCode("<AR>"), std::optional<std::string_view>(".-.-."));
    EXPECT_EQ(morseCode("q"), std::optional<std::string_view>("--.-"));
    EXPECT_FALSE(morseCode("<"));
}

// Both detectors on one channel: our own keys, then the board's reply in Morse. The keys' tones are
// not read as Morse, and the reply starts with its first character.
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
    EXPECT_EQ(std::pair(dtmf, cw), std::pair(std::string("7#"), std::string("DE N0CALL")));
}

} // namespace
