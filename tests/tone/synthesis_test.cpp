#include "tone/Synthesis.h"
#include "tone/ToneTable.h"

#include <gtest/gtest.h>

using namespace keytoner;

namespace {

const SampleCounts Small{4, 2, 8};
using Samples = std::vector<int16_t>;

// The samples as runs of sound and silence: "5S 9. " is five sounding samples, then nine silent.
std::string runs(const Samples &samples)
{
    std::string text;
    std::size_t length = 0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        ++length;
        if (n + 1 == samples.size() || (samples[n] != 0) != (samples[n + 1] != 0)) {
            text += std::to_string(length) + (samples[n] != 0 ? "S " : ". ");
            length = 0;
        }
    }
    return text;
}

} // namespace

// Keys give their row and column tones, whatever follows them; anything else is silent.
TEST(ToneTable, KeysMapToTheirLowAndHighGroup)
{
    const QString keys = QStringLiteral("0123456789ABCD*#");
    const int low[] = {941, 697, 697, 697, 770, 770, 770, 852,
                       852, 852, 697, 770, 852, 941, 941, 941};
    const int high[] = {1336, 1209, 1336, 1477, 1209, 1336, 1477, 1209,
                        1336, 1477, 1633, 1633, 1633, 1633, 1209, 1477};
    ToneTableType table{};
    FillToneTable(table);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(keys.at(i).toLatin1());
        EXPECT_EQ(table[i][0], low[i]);
        EXPECT_EQ(table[i][1], high[i]);
        EXPECT_EQ(FreqLow(QString(keys.at(i))), low[i]);
        EXPECT_EQ(FreqHigh(QString(keys.at(i)) + QStringLiteral("xyz")), high[i]);
    }
    for (const char *key : {" ", "a", "d", "\n", "E", "!", ""})
        EXPECT_EQ(std::pair(FreqLow(key), FreqHigh(key)), std::pair(0.0, 0.0)) << key;
}

// A key at 60 ms; keys keep their absolute phase across a gap and a pause.
TEST(Synthesis, HandComputedSamples)
{
    const Samples one = synthesiseSequence(QStringLiteral("1"), {480, 320, 2400});
    ASSERT_EQ(one.size(), 481u);
    EXPECT_EQ(Samples(one.begin(), one.begin() + 6),
              Samples({13337, 18355, 12862, 2041, -6059, -6955}));
    EXPECT_EQ(
        synthesiseSequence(QStringLiteral("12"), Small),
        Samples({13337, 18355, 12862, 2041, -6059, 0, 0, 0, -9959, -15999, -11129, 3071, 16195}));
    const Samples afterPause = synthesiseSequence(QStringLiteral("1 2"), Small);
    ASSERT_EQ(afterPause.size(), 19u);
    EXPECT_EQ(Samples(afterPause.begin() + 14, afterPause.begin() + 16), Samples({9054, -2644}));
}

// A key's slot is its count and one sample, a blank's a pause, a non-key's a silent digit.
TEST(Synthesis, LayoutOfBlanksAndNonKeys)
{
    const std::pair<const char *, std::string> cases[] = {
        {"1 2", "5S 9. 5S "},  {"1  2", "5S 18. 5S "}, {" 1 ", "9. 5S 9. "},
        {"1a2", "5S 11. 5S "}, {"1\n", "5S 8. "},      {"  ", "18. "}};
    for (const auto &[sequence, expected] : cases)
        EXPECT_EQ(runs(synthesiseSequence(sequence, Small)), expected) << sequence;
}

// Durations round to samples halves to even.
TEST(Synthesis, SampleCounts)
{
    const ToneLayout layout = ToneLayout::of(QStringLiteral(" 12 3a\n 4"));
    EXPECT_EQ(std::tuple(layout.digits, layout.blanks, layout.adjacentPairs), std::tuple(6, 3, 3));
    EXPECT_EQ(layout.totalSamples({480, 320, 2400}), 6 * 481 + 3 * 2401 + 3 * 321);
    EXPECT_EQ(ToneLayout::of(QString()).totalSamples({480, 320, 2400}), 0);
    EXPECT_TRUE(synthesiseSequence(QString(), {480, 320, 2400}).empty());
    EXPECT_EQ(samplesFor(0.060), 480);
    EXPECT_EQ(samplesFor(2.5 / 8000.0), 2);
    EXPECT_EQ(samplesFor(3.5 / 8000.0), 4);
    EXPECT_EQ(samplesFor(0.0), 0);
}
