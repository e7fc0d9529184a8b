#include "ConfigSamples.h"
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
    const QString hex = imageToHex(counting());
    const QStringList lines = hex.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "00 07 0E 15 1C 23 2A 31 38 3F 46 4D 54 5B 62 69");
    EXPECT_TRUE(hex.endsWith('\n'));
}

TEST(ImageText, ParsesHexAndRawBytes)
{
    const ConfigImage image = counting();
    EXPECT_EQ(parseImage(imageToHex(image).toLatin1()).image, image);
    EXPECT_EQ(parseImage(imageToHex(image).toLower().remove(' ').remove('\n').toLatin1()).image,
              image);
    const QByteArray raw(reinterpret_cast<const char *>(image.data()), ConfigImageSize);
    EXPECT_EQ(parseImage(raw).image, image);
}

TEST(ImageText, RefusesWhatIsNeither)
{
    const QByteArray hex = imageToHex(counting()).toLatin1();
    EXPECT_FALSE(parseImage(hex.left(hex.size() - 4)).image); // 191 bytes
    EXPECT_FALSE(parseImage(hex + "00").image);               // 193 bytes
    EXPECT_FALSE(parseImage(QByteArray(hex).replace("07", "0G")).image);
    EXPECT_FALSE(parseImage(QByteArray(hex).replace("07", "0 7")).image); // a split pair
    EXPECT_FALSE(parseImage("").failure.isEmpty());
}
