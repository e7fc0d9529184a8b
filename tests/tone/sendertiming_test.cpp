#include "tone/SenderTiming.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace keytoner;

// Values below the minimums are raised, the others keep their text and give the durations.
TEST(SenderTiming, ToneTimingCorrection)
{
    const SendTiming low = correctToneTiming({"10", "5", "0", "7"});
    EXPECT_EQ(low.digit, "25");
    EXPECT_EQ(low.gap, "15");
    EXPECT_EQ(low.pause, "25");
    EXPECT_EQ(low.txDelay, "7"); // corrected separately, later in a send

    const SendTiming empty = correctToneTiming({"", "abc", "24.9", ""});
    EXPECT_EQ(empty.digit, "25");
    EXPECT_EQ(empty.gap, "15");
    EXPECT_EQ(empty.pause, "25");
    const SendTiming kept = correctToneTiming({"25", "15.0", "60abc", ""});
    EXPECT_EQ(kept.digit, "25");
    EXPECT_EQ(kept.gap, "15.0");
    EXPECT_EQ(kept.pause, "60abc");
    const ToneDurations durations = toneDurations({"60", "40.5", "300ms", ""});
    EXPECT_DOUBLE_EQ(durations.digit, 0.060);
    EXPECT_DOUBLE_EQ(durations.gap, 0.0405);
    EXPECT_DOUBLE_EQ(durations.pause, 0.300);
}

TEST(SenderTiming, TxDelayOutsideItsRangeBecomesTwenty)
{
    for (const char *text : {"5", "2500", "", "x", "19.9", "2000.1"})
        EXPECT_EQ(correctTxDelay(text), "20") << text;
    for (const char *text : {"20", "200", "2000", "150 ms"})
        EXPECT_EQ(correctTxDelay(text), text);
    EXPECT_EQ(txDelayMs("42.5"), 42);
    EXPECT_EQ(txDelayMs("59.5"), 60);
}

TEST(SenderTiming, CompletionTextSwitchesToSecondsAboveNineThousandNineHundredNinetyNine)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(completionText(1562, c), "Sequence completed.\r\nEffective time = 1562mS.");
    EXPECT_EQ(completionText(0, c), "Sequence completed.\r\nEffective time = 0mS.");
    EXPECT_EQ(completionText(9999, c), "Sequence completed.\r\nEffective time = 9999mS.");
    EXPECT_EQ(completionText(10000, c), "Sequence completed.\r\nEffective time = 10.0 Sec.");
    EXPECT_EQ(completionText(12345, c), "Sequence completed.\r\nEffective time = 12.3 Sec.");
    EXPECT_EQ(completionText(12350, c), "Sequence completed.\r\nEffective time = 12.4 Sec.");
    EXPECT_EQ(completionText(10960, QLocale(QLocale::Italian)),
              "Sequence completed.\r\nEffective time = 11,0 Sec.");
}
