#include "tone/Synthesis.h"
#include "tone/ToneTable.h"

#include <gtest/gtest.h>

using namespace keytoner;

namespace {

const SampleCounts Small{4, 2, 8};

std::vector<int16_t> expectSamples(std::initializer_list<int> values)
{
    return std::vector<int16_t>(values.begin(), values.end());
}

} // namespace

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
}

TEST(ToneTable, NonKeysAreSilent)
{
    for (const QString &key :
         {QStringLiteral(" "), QStringLiteral("a"), QStringLiteral("d"), QStringLiteral("\n"),
          QStringLiteral("E"), QStringLiteral("!"), QString()}) {
        EXPECT_EQ(FreqLow(key), 0.0);
        EXPECT_EQ(FreqHigh(key), 0.0);
    }
}

TEST(Synthesis, SingleKeyAtSixtyMilliseconds)
{
    const auto samples = synthesiseSequence(QStringLiteral("1"), {480, 320, 2400});
    ASSERT_EQ(samples.size(), 481u);
    EXPECT_EQ(std::vector<int16_t>(samples.begin(), samples.begin() + 6),
              expectSamples({13337, 18355, 12862, 2041, -6059, -6955}));
}

TEST(Synthesis, AdjacentKeysKeepAbsolutePhaseAcrossTheGap)
{
    EXPECT_EQ(synthesiseSequence(QStringLiteral("12"), Small),
              expectSamples(
                  {13337, 18355, 12862, 2041, -6059, 0, 0, 0, -9959, -15999, -11129, 3071, 16195}));
}

TEST(Synthesis, BlankReplacesTheGapByAPause)
{
    const auto samples = synthesiseSequence(QStringLiteral("1 2"), Small);
    ASSERT_EQ(samples.size(), 19u);
    for (int i = 5; i < 14; ++i)
        EXPECT_EQ(samples[i], 0) << i;
    EXPECT_EQ(samples[14], 9054);
    EXPECT_EQ(samples[15], -2644);
}

TEST(Synthesis, LayoutOfBlanksAndNonKeys)
{
    struct Case {
        QString sequence;
        std::vector<std::pair<int, bool>> segments; // length, sounding
    };
    const std::vector<Case> cases{
        {QStringLiteral("1  2"), {{5, true}, {9, false}, {9, false}, {5, true}}},
        {QStringLiteral(" 1 "), {{9, false}, {5, true}, {9, false}}},
        {QStringLiteral("1a2"), {{5, true}, {3, false}, {5, false}, {3, false}, {5, true}}},
        {QStringLiteral("1\n"), {{5, true}, {3, false}, {5, false}}},
        {QStringLiteral("  "), {{9, false}, {9, false}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sequence.toStdString());
        const auto samples = synthesiseSequence(c.sequence, Small);
        size_t at = 0;
        for (const auto &[length, sounding] : c.segments) {
            ASSERT_LE(at + length, samples.size());
            const bool anySound = std::any_of(samples.begin() + at, samples.begin() + at + length,
                                              [](int16_t s) { return s != 0; });
            EXPECT_EQ(anySound, sounding) << "segment at " << at;
            at += length;
        }
        EXPECT_EQ(at, samples.size());
    }
}

TEST(Synthesis, CountsOfTheLayout)
{
    const ToneLayout layout = ToneLayout::of(QStringLiteral(" 12 3a\n 4"));
    EXPECT_EQ(layout.digits, 6);
    EXPECT_EQ(layout.blanks, 3);
    EXPECT_EQ(layout.adjacentPairs, 3);
    EXPECT_EQ(layout.totalSamples({480, 320, 2400}), 6 * 481 + 3 * 2401 + 3 * 321);
    EXPECT_EQ(ToneLayout::of(QString()).totalSamples({480, 320, 2400}), 0);
    EXPECT_TRUE(synthesiseSequence(QString(), {480, 320, 2400}).empty());
}

TEST(Synthesis, SampleCountsRoundHalvesToEven)
{
    EXPECT_EQ(samplesFor(0.060), 480);
    EXPECT_EQ(samplesFor(2.5 / 8000.0), 2);
    EXPECT_EQ(samplesFor(3.5 / 8000.0), 4);
    EXPECT_EQ(samplesFor(0.0), 0);
}
