#include "link/FrameParser.h"
#include "link/LinkProtocol.h"
#include "platform/SerialPort.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace keytoner;
using namespace keytoner::link;

namespace {

using Kind = FrameEvent::Kind;
// What the parser reported, compared whole: kind, checksum verdict, identity text.
using Event = std::tuple<Kind, bool, QByteArray>;
using Events = std::vector<Event>;

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

    Events feed(const QByteArray &bytes)
    {
        Events events;
        for (char c : bytes)
            if (auto event = parser.ParseByte(static_cast<std::uint8_t>(c)))
                events.emplace_back(event->kind, event->checksumOk, event->text);
        return events;
    }
};

} // namespace

TEST(WriteBlocksTest, CutTheImageIntoFourBlocksWithTheirSums)
{
    const ConfigImage image = sampleImage();
    const auto blocks = writeBlocks(image);
    const int sums[BlockCount] = {0xE8, 0xA1, 0x58, 0xCA}; // added up by hand
    for (int k = 0; k < BlockCount; ++k)
        EXPECT_EQ(blocks[k], QByteArray(reinterpret_cast<const char *>(image.data() + 48 * k), 48) +
                                 char(sums[k]))
            << k;
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
    const QByteArray name("Tonesentinel  v2");
    const ConfigImage sample = sampleImage();
    const ConfigImage zeros{};
    ConfigImage firstFF = sampleImage();
    firstFF[0] = 0xFF;
    ConfigImage filtered = sampleImage();
    filtered[8] = 0x5B;
    const Event abandoned{Kind::Abandoned, false, {}};
    const struct {
        const char *what;
        QByteArray bytes;
        Event event;
        std::optional<ConfigImage> image = {}; // what a data frame leaves in the target
    } cases[] = {
        {"CR LF", identityLine(name), {Kind::Identity, true, name}},
        {"LF alone", identityLine(name, "\n"), {Kind::Identity, true, name}},
        {"identity sum off", identityLine("ab", "\r\n", 1), {Kind::Identity, false, "ab"}},
        // A CR in the middle of the line is dropped like the one before LF, from text and sum.
        {"CR inside", QByteArray("\xFF\xAA", 2) + "ab\rc\n\x26", {Kind::Identity, true, "abc"}},
        {"0x80 is text", identityLine("a\x80"), {Kind::Identity, true, "a\x80"}},
        {"0x81 abandons", identityLine("a\x81"), abandoned},
        {"noise before", "\x01 hi \x80\x7F" + identityLine("X"), {Kind::Identity, true, "X"}},
        // The byte after FF is not looked at again: FF 55 AA is no identity start.
        {"FF 55 then a line", "\xFF\x55\xAA" + identityLine("Y"), {Kind::Identity, true, "Y"}},
        {"data", dataFrame(sample), {Kind::DataFrame, true, {}}, sample},
        {"data sum off", dataFrame(sample, 1), {Kind::DataFrame, false, {}}},
        {"all zeros, sum zero", dataFrame(zeros), {Kind::DataFrame, true, {}}, zeros},
        {"FF FF FF: first byte FF", dataFrame(firstFF), {Kind::DataFrame, true, {}}, firstFF},
        {"0x5B at 8 abandons", dataFrame(filtered), abandoned},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(feed(c.bytes), Events{c.event});
        if (c.image) {
            EXPECT_EQ(rx, *c.image);
        }
        EXPECT_EQ(parser.state(), FrameParser::Idle);
    }
}

TEST_F(ParserTest, ResetTakesTheNextByteFromIdle)
{
    const Events abc{{Kind::Identity, true, "abc"}};
    parser.requestReset(); // harmless in Idle
    EXPECT_EQ(feed(identityLine("abc")), abc);

    // Half a data frame, then a failure: the next bytes start afresh.
    feed(dataFrame(sampleImage()).left(100));
    EXPECT_EQ(parser.state(), FrameParser::DataBytes);
    parser.requestReset();
    EXPECT_EQ(feed(identityLine("abc")), abc);
}

// A line that never behaves: an identity far longer than any board's name, or one that never
// ends, is given up without holding it all, and the next good line is read.
TEST_F(ParserTest, OverlongIdentityIsAbandoned)
{
    const QByteArray lines[] = {identityLine(QByteArray(100000, 'x')),
                                QByteArray("\xFF\xAA", 2) + QByteArray(4 << 20, 'A')};
    const QByteArray good(200, 'y');
    for (const QByteArray &line : lines) {
        EXPECT_EQ(feed(line), (Events{{Kind::Abandoned, false, {}}}));
        EXPECT_EQ(parser.state(), FrameParser::Idle);
        EXPECT_EQ(feed(identityLine(good)), (Events{{Kind::Identity, true, good}}));
    }
}
