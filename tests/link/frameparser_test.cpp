#include "link/FrameParser.h"
#include "link/LinkProtocol.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace keytoner;
using namespace keytoner::link;

namespace {

QByteArray identityLine(const QByteArray &text, const char *ending = "\r\n", int sumOffset = 0)
{
    QByteArray line("\xFF\xAA", 2);
    line += text;
    line += ending;
    line += static_cast<char>(checksum(text) + sumOffset);
    return line;
}

ConfigImage sampleImage()
{
    ConfigImage image;
    for (int i = 0; i < ConfigImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(i < 8 ? 0xF0 + i : i % 0x5B);
    return image;
}

QByteArray dataFrame(const ConfigImage &image, int sumOffset = 0)
{
    QByteArray frame("\xFF\xFF", 2);
    frame.append(reinterpret_cast<const char *>(image.data()), ConfigImageSize);
    frame += static_cast<char>(checksum(image.data(), ConfigImageSize) + sumOffset);
    return frame;
}

struct ParserTest : ::testing::Test {
    ConfigImage rx{};
    FrameParser parser{rx};

    std::vector<FrameEvent> feed(const QByteArray &bytes)
    {
        std::vector<FrameEvent> events;
        for (char c : bytes)
            if (auto event = parser.ParseByte(static_cast<std::uint8_t>(c)))
                events.push_back(*event);
        return events;
    }
};

} // namespace

TEST(WriteBlocksTest, CutTheImageIntoFourBlocksWithTheirSums)
{
    const ConfigImage image = sampleImage();
    const auto blocks = writeBlocks(image);
    const int sums[BlockCount] = {0xE8, 0xA1, 0x58, 0xCA}; // added up by hand
    for (int k = 0; k < BlockCount; ++k) {
        ASSERT_EQ(blocks[k].size(), 49);
        EXPECT_EQ(blocks[k].left(48),
                  QByteArray(reinterpret_cast<const char *>(image.data() + 48 * k), 48));
        EXPECT_EQ(static_cast<std::uint8_t>(blocks[k].at(48)), sums[k]) << k;
    }
}

TEST(DataFilterTest, OnlyCodesTextsAndMarksPassFromPosition8)
{
    EXPECT_TRUE(passesDataFilter(7, 0x5B));
    EXPECT_FALSE(passesDataFilter(8, 0x5B));
    EXPECT_TRUE(passesDataFilter(8, 0x5A));
    EXPECT_TRUE(passesDataFilter(100, 0x80));
    EXPECT_TRUE(passesDataFilter(191, 0xFF));
    EXPECT_FALSE(passesDataFilter(191, 0x81));
}

TEST(CommEventTextTest, KnownEventsHaveTextsOthersTheirNumber)
{
    EXPECT_EQ(commEventText(CommEvent::Frame, "3"), "Comm Frame Error");
    EXPECT_EQ(commEventText(CommEvent::DeviceControlBlock, "3"), "Comm Device Control Block Error");
    EXPECT_EQ(commEventText(3, "05"), "Errore n.3 su COM05");
}

// One frame each: what the parser reports, and that it is back in Idle after it. Which bytes the
// data filter lets through is its own test's; here only that the parser applies it.
TEST_F(ParserTest, OneFrame)
{
    using Kind = FrameEvent::Kind;
    ConfigImage firstFF = sampleImage();
    firstFF[0] = 0xFF;
    ConfigImage filtered = sampleImage();
    filtered[8] = 0x5B;
    // A CR in the middle of the line is dropped like the one before LF, from text and sum.
    const QByteArray withCr = QByteArray("\xFF\xAA"
                                         "ab\rc\n",
                                         7) +
                              char(0x26);
    const struct {
        const char *what;
        QByteArray bytes;
        Kind kind;
        bool checksumOk;
        QByteArray text = {};                  // of an identity
        std::optional<ConfigImage> image = {}; // what a data frame leaves in the target
    } cases[] = {
        {"CR LF", identityLine("Tonesentinel  v2"), Kind::Identity, true, "Tonesentinel  v2"},
        {"LF alone", identityLine("Tonesentinel  v2", "\n"), Kind::Identity, true,
         "Tonesentinel  v2"},
        {"identity sum off", identityLine("ab", "\r\n", 1), Kind::Identity, false, "ab"},
        {"CR inside", withCr, Kind::Identity, true, "abc"},
        {"0x80 is text", identityLine("a\x80"), Kind::Identity, true, "a\x80"},
        {"0x81 abandons", identityLine("a\x81"), Kind::Abandoned, false},
        {"noise before", QByteArray("\x01 hi \x80\x7F", 7) + identityLine("X"), Kind::Identity,
         true, "X"},
        // The byte after FF is not looked at again: FF 55 AA is no identity start.
        {"FF 55 then a line", QByteArray("\xFF\x55\xAA", 3) + identityLine("Y"), Kind::Identity,
         true, "Y"},
        {"data", dataFrame(sampleImage()), Kind::DataFrame, true, {}, sampleImage()},
        {"data sum off", dataFrame(sampleImage(), 1), Kind::DataFrame, false},
        {"all zeros, sum zero", dataFrame(ConfigImage{}), Kind::DataFrame, true, {}, ConfigImage{}},
        {"FF FF FF: first byte FF", dataFrame(firstFF), Kind::DataFrame, true, {}, firstFF},
        {"0x5B at 8 abandons", dataFrame(filtered), Kind::Abandoned, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto events = feed(c.bytes);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, c.kind);
        EXPECT_EQ(events[0].checksumOk, c.checksumOk);
        EXPECT_EQ(events[0].text, c.text);
        if (c.image) {
            EXPECT_EQ(rx, *c.image);
        }
        EXPECT_EQ(parser.state(), FrameParser::Idle);
    }
}

TEST_F(ParserTest, ResetTakesTheNextByteFromIdle)
{
    parser.requestReset(); // harmless in Idle
    EXPECT_EQ(feed(identityLine("abc")).at(0).text, "abc");

    // Half a data frame, then a failure: the next bytes start afresh.
    feed(dataFrame(sampleImage()).left(100));
    EXPECT_EQ(parser.state(), FrameParser::DataBytes);
    parser.requestReset();
    const auto events = feed(identityLine("Tonesentinel  v2"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, FrameEvent::Kind::Identity);
    EXPECT_TRUE(events[0].checksumOk);
}

// A line that never behaves: an identity far longer than any board's name, or one that never
// ends, is given up without holding it all, and the next good line is read.
TEST_F(ParserTest, OverlongIdentityIsAbandoned)
{
    const QByteArray lines[] = {identityLine(QByteArray(100000, 'x')),
                                QByteArray("\xFF\xAA", 2) + QByteArray(4 << 20, 'A')};
    for (const QByteArray &line : lines) {
        const auto events = feed(line);
        ASSERT_FALSE(events.empty());
        EXPECT_TRUE(std::all_of(events.begin(), events.end(), [](const FrameEvent &e) {
            return e.kind == FrameEvent::Kind::Abandoned;
        }));
        EXPECT_EQ(parser.state(), FrameParser::Idle);
        const auto next = feed(identityLine(QByteArray(200, 'y')));
        ASSERT_EQ(next.size(), 1u);
        EXPECT_EQ(next[0].kind, FrameEvent::Kind::Identity);
        EXPECT_TRUE(next[0].checksumOk);
    }
}
