#include "config/ImageText.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace keytoner;

namespace {

ConfigImage counting()
{
    ConfigImage image;
    for (int i = 0; i < ConfigImageSize; ++i)
        image[i] = std::uint8_t(i * 7);
    return image;
}

} // namespace

TEST(ImageText, HexHasSixteenBytesALine)
{
    const QStringList lines = imageToHex(counting()).split('\n');
    ASSERT_EQ(lines.size(), 13); // the last line is ended too
    EXPECT_EQ(lines[0], "00 07 0E 15 1C 23 2A 31 38 3F 46 4D 54 5B 62 69");
    EXPECT_EQ(lines[12], "");
}

// Hex in either case, blanks and line ends optional, or the 192 raw bytes; nothing else.
TEST(ImageText, ParsesHexOrRawBytes)
{
    const ConfigImage image = counting();
    const QByteArray hex = imageToHex(image).toLatin1();
    const struct {
        QByteArray text;
        bool parsed;
    } cases[] = {
        {hex, true},
        {hex.toLower().replace(" ", "").replace("\n", ""), true},
        {QByteArray(reinterpret_cast<const char *>(image.data()), ConfigImageSize), true},
        {hex.chopped(4), false}, // 191 bytes
        {hex + "00", false},
        {QByteArray(hex).replace("07", "0G"), false},
        {QByteArray(hex).replace("07", "0 7"), false}, // a split pair
        {"", false},
    };
    for (const auto &c : cases) {
        const ImageParse read = parseImage(c.text);
        EXPECT_EQ(read.image, c.parsed ? std::optional(image) : std::nullopt) << c.text.size();
        EXPECT_EQ(read.failure.isEmpty(), c.parsed) << c.text.size();
    }
}
