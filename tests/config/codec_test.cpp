#include "ConfigSamples.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"

#include <functional>
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

} // namespace

// The bytes each field gives, from the manual's example with one field changed.
TEST(ConfigCodec, EncodedBytes)
{
    const int F = 0xFF;
    const struct {
        std::function<void(BoardConfig &)> change;
        int offset;
        std::vector<int> bytes;
    } cases[] = {
        // The example's flags (outputs 1 and 3, CW reply), checksum ID #, Morse timing, timer,
        // voltages, reserved.
        {[](BoardConfig &c) { c.chkBCheck = false; }, 0, {0x85, 12, 60, 10, 115, 138, F, F}},
        // Outputs 2 and 4, battery check.
        {[](BoardConfig &c) {
             c.chkOutput = {false, true, false, true}, c.chkMorse = false;
         },
         0,
         {0x1A}},
        {[](BoardConfig &c) { c.txtCrcTag = "C"; }, 1, {15}},
        // The Morse timing is 1190 / WPM, rounded halves to even: 42.5 here, 59.5 above.
        {[](BoardConfig &c) { c.txtMorseSpeed = "28"; }, 2, {42}},
        // Voltages in tenths; a decimal half, however binary stores it.
        {[](BoardConfig &c) { c.txtBlo = "0", c.txtBhi = "25.5"; }, 4, {0, 255, F, F}},
        {[](BoardConfig &c) { c.txtBlo = "0.35", c.txtBhi = "1.25"; }, 4, {4, 12}},
        {[](BoardConfig &c) {
             c.txtMem = {"123", "0*#D", "1234567890"};
         },
         8,
         {1, 2, 3, 0x80, F, F, F, F, F, F, 10, 11, 12, 0, 0x80,
          F, F, F, F,    F, 1, 2, 3, 4, 5, 6,  7,  8,  9, 10}},
        // Empty slot 15, then reserved.
        {[](BoardConfig &) {}, 158, {0x80, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F}},
        {[](BoardConfig &c) { c.txtSeqCmd = "12345678"; }, 176, {1, 2, 3, 4, 5, 6, 7, 8, 0x80}},
        {[](BoardConfig &c) { c.txtCallID = ":@Z"; }, 185, {0x3A, 0x40, 0x5A, 0, F, F, F}},
        {[](BoardConfig &c) { c.txtCallID = "N0CALL"; }, 185, {'N', '0', 'C', 'A', 'L', 'L', 0}},
    };
    for (const auto &c : cases) {
        BoardConfig config = exampleConfig();
        c.change(config);
        const ConfigImage image = encode(config);
        const auto from = image.begin() + c.offset;
        EXPECT_EQ(std::vector<int>(from, from + c.bytes.size()), c.bytes) << c.offset;
    }
}

// What the board may send that the program never writes: meaningless flag bits (5 and 6),
// checksum code 16, a Morse timing of 0, voltages in tenths; in the slots, the first code past
// the digit table, a byte after the end mark, ten bytes without an end mark or a digit (the slot
// ends at its tenth); a modifier whose ninth byte is never a digit; a call of seven without an
// end mark (the field keeps six). Every field the program writes comes back as it was.
TEST(ConfigCodec, Decoding)
{
    ConfigImage image;
    image.fill(0xFF);
    const std::pair<int, QByteArray> pieces[] = {{0, "601000ff0c07"},
                                                 {18, "0110028003"},
                                                 {28, "404040404040404040400580"},
                                                 {176, "090909090909090909"},
                                                 {185, "41424344454647"}};
    for (const auto &[at, hex] : pieces) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        std::copy(bytes.begin(), bytes.end(), image.begin() + at);
    }
    const BoardConfig shown = decodeConfigImage(image);
    EXPECT_EQ(shown.chkOutput, (std::array<bool, 4>{}));
    EXPECT_EQ(shown.txtCrcTag, "");
    EXPECT_EQ(shown.txtMorseSpeed, "");
    EXPECT_EQ(shown.txtBlo, "1.2");
    EXPECT_EQ(shown.txtBhi, "0.7");
    EXPECT_EQ(shown.txtMem[1], "12");
    EXPECT_EQ(shown.txtMem[2], "");
    EXPECT_EQ(shown.txtMem[3], "5");
    EXPECT_EQ(shown.txtSeqCmd, "99999999");
    EXPECT_EQ(shown.txtCallID, "ABCDEFG");
    EXPECT_EQ(fittedToFields(shown).txtCallID, "ABCDEF");
    image[2] = 8; // 148.75 WPM
    EXPECT_EQ(decodeConfigImage(image).txtMorseSpeed, "149");
    image[2] = 1; // 1190 WPM: longer than the field, which keeps "119"
    EXPECT_EQ(fittedToFields(decodeConfigImage(image)).txtMorseSpeed, "119");
    BoardConfig full = exampleConfig();
    full.txtMem = {"D",  "1234567890", "*#ABCD", "",  "99", "0",  "A1",         "B2",
                   "C3", "D4",         "#",      "*", "12", "21", "ABCDABCDAB", "7"};
    full.chkOutput = {false, true, false, true};
    full.chkMorse = false;
    full.txtPrgComm.clear();
    EXPECT_EQ(decodeConfigImage(encode(full)), full);
}
