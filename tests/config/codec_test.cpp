#include "ConfigSamples.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"

#include <gtest/gtest.h>
#include <vector>

using namespace keytoner;
using keytoner::test::exampleConfig;

namespace {

ConfigImage encode(const BoardConfig &config)
{
    const ImageBuild build = buildConfigImage(config);
    EXPECT_TRUE(build.ok()) << build.message.toStdString();
    return build.image.value_or(ConfigImage{});
}

std::vector<int> bytes(const ConfigImage &image, int from, int count)
{
    return std::vector<int>(image.begin() + from, image.begin() + from + count);
}

ConfigImage blankImage()
{
    ConfigImage image;
    image.fill(0xFF);
    image[0] = 0;
    return image;
}

} // namespace

TEST(ConfigCodec, PowerOnFlags)
{
    BoardConfig config = exampleConfig();
    config.chkBCheck = false;
    EXPECT_EQ(encode(config)[0], 0x85); // outputs 1 and 3, CW reply

    config.chkOutput = {};
    config.chkMorse = false;
    config.chkBCheck = true;
    EXPECT_EQ(encode(config)[0], 0x10);

    ConfigImage image = blankImage();
    image[0] = 0xFF;
    const BoardConfig shown = decodeConfigImage(image);
    EXPECT_EQ(shown.chkOutput, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(shown.chkMorse);
    EXPECT_TRUE(shown.chkBCheck);
    image[0] = 0x60; // bits 5 and 6 mean nothing
    EXPECT_EQ(decodeConfigImage(image).chkOutput, (std::array<bool, 4>{}));
}

TEST(ConfigCodec, ChecksumIdCodes)
{
    BoardConfig config = exampleConfig();
    for (auto [digit, code] : {std::pair{"D", 0}, {"0", 10}, {"#", 12}, {"1", 1}, {"C", 15}}) {
        config.txtCrcTag = digit;
        const ConfigImage image = encode(config);
        EXPECT_EQ(image[1], code) << digit;
        EXPECT_EQ(decodeConfigImage(image).txtCrcTag, digit);
    }
    ConfigImage image = blankImage();
    image[1] = 16;
    EXPECT_EQ(decodeConfigImage(image).txtCrcTag, "");
}

TEST(ConfigCodec, MorseSpeedRoundsHalvesToEven)
{
    BoardConfig config = exampleConfig();
    const struct {
        const char *speed;
        int timing;
        const char *shown;
    } cases[] = {{"20", 60, "20"}, {"28", 42, "28"}, {"150", 8, "149"},
                 {"14", 85, "14"}, {"45", 26, "46"}, {"100", 12, "99"}};
    for (const auto &c : cases) {
        config.txtMorseSpeed = c.speed;
        const ConfigImage image = encode(config);
        EXPECT_EQ(image[2], c.timing) << c.speed;
        EXPECT_EQ(decodeConfigImage(image).txtMorseSpeed, c.shown) << c.speed;
    }
}

TEST(ConfigCodec, MorseTimingZeroShowsNoSpeed)
{
    ConfigImage image = blankImage();
    image[2] = 0;
    EXPECT_EQ(decodeConfigImage(image).txtMorseSpeed, "");
    image[2] = 1; // 1190 WPM: longer than the field, which keeps "119"
    EXPECT_EQ(fittedToFields(decodeConfigImage(image)).txtMorseSpeed, "119");
}

TEST(ConfigCodec, VoltagesInTenths)
{
    BoardConfig config = exampleConfig();
    config.txtBlo = "1.25";
    config.txtBhi = "25.5";
    ConfigImage image = encode(config);
    EXPECT_EQ(image[4], 12);
    EXPECT_EQ(image[5], 255);
    BoardConfig shown = decodeConfigImage(image);
    EXPECT_EQ(shown.txtBlo, "1.2");
    EXPECT_EQ(shown.txtBhi, "25.5");

    config.txtBlo = "0";
    config.txtBhi = "0.35"; // a decimal half, however binary stores it
    image = encode(config);
    EXPECT_EQ(image[4], 0);
    EXPECT_EQ(image[5], 4);
    EXPECT_EQ(decodeConfigImage(image).txtBlo, "0.0");
    EXPECT_EQ(voltageText(125), "12.5");
    EXPECT_EQ(voltageText(7), "0.7");
}

TEST(ConfigCodec, CommandSlots)
{
    BoardConfig config = exampleConfig();
    config.txtMem = {"123", "0*#D", "1234567890"};
    const ConfigImage image = encode(config);
    EXPECT_EQ(bytes(image, 8, 10),
              (std::vector<int>{1, 2, 3, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes(image, 18, 10),
              (std::vector<int>{10, 11, 12, 0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes(image, 28, 10), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(bytes(image, 158, 10),
              (std::vector<int>{0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    for (int reserved : {6, 7, 168, 169, 170, 171, 172, 173, 174, 175})
        EXPECT_EQ(image[reserved], 0xFF) << reserved;
}

TEST(ConfigCodec, DecodingSkipsUnknownCodesWithinTheSlot)
{
    ConfigImage image = blankImage();
    EXPECT_EQ(decodeConfigImage(image).txtMem[0], ""); // ten 0xFF bytes
    image[18] = 1;
    image[19] = 16; // the first code past the digit table
    image[20] = 2;
    image[21] = 0x80;
    image[22] = 3; // after the end mark
    EXPECT_EQ(decodeConfigImage(image).txtMem[1], "12");
    for (int k = 0; k < 10; ++k)
        image[28 + k] = 0x40; // no end mark and no digit: the slot ends at its tenth byte
    image[38] = 5;
    image[39] = 0x80;
    EXPECT_EQ(decodeConfigImage(image).txtMem[2], "");
    EXPECT_EQ(decodeConfigImage(image).txtMem[3], "5");
}

TEST(ConfigCodec, ModifierArea)
{
    BoardConfig config = exampleConfig();
    config.txtSeqCmd = "12345678";
    ConfigImage image = encode(config);
    EXPECT_EQ(bytes(image, 176, 9), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 0x80}));

    config.txtSeqCmd = "5";
    image = encode(config);
    EXPECT_EQ(bytes(image, 176, 9),
              (std::vector<int>{5, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    image = blankImage();
    for (int k = 0; k < 9; ++k)
        image[176 + k] = 9; // the ninth byte is never a digit of the modifier
    EXPECT_EQ(decodeConfigImage(image).txtSeqCmd, "99999999");
}

TEST(ConfigCodec, CallArea)
{
    BoardConfig config = exampleConfig();
    config.txtCallID = "AB1";
    ConfigImage image = encode(config);
    EXPECT_EQ(bytes(image, 185, 7), (std::vector<int>{0x41, 0x42, 0x31, 0, 0xFF, 0xFF, 0xFF}));

    config.txtCallID = "";
    image = encode(config);
    EXPECT_EQ(image[185], 0);

    config.txtCallID = "N0CALL";
    image = encode(config);
    EXPECT_EQ(image[191], 0);

    for (int k = 0; k < 7; ++k)
        image[185 + k] = 'A' + k; // no end mark: all seven, the field keeps six
    EXPECT_EQ(decodeConfigImage(image).txtCallID, "ABCDEFG");
    EXPECT_EQ(fittedToFields(decodeConfigImage(image)).txtCallID, "ABCDEF");
}

// Every field comes back as it was (the cases above check the bytes, this the way back), and
// what the board sends back encodes to the very same image.
TEST(ConfigCodec, DecodingGivesBackWhatWasEncoded)
{
    BoardConfig full;
    full.txtMem = {"D",  "1234567890", "*#ABCD", "",  "99", "0",  "A1",         "B2",
                   "C3", "D4",         "#",      "*", "12", "21", "ABCDABCDAB", "7"};
    full.txtSeqCmd = "12345678";
    full.txtCrcTag = "*";
    full.txtCallID = "N0 :@Z";
    full.txtMorseSpeed = "38";
    full.txtTmr2 = "255";
    full.txtBlo = "0.1";
    full.txtBhi = "25.5";
    full.chkOutput = {true, false, true, true};
    full.chkMorse = false;
    full.chkBCheck = true;
    for (const BoardConfig &config : {exampleConfig(), full}) {
        const ConfigImage image = encode(config);
        BoardConfig expected = config;
        expected.txtPrgComm.clear();
        EXPECT_EQ(decodeConfigImage(image), expected);
        EXPECT_EQ(encode(decodeConfigImage(image)), image);
    }
}
