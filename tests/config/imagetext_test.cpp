#include "config/ImageText.h"

#include <QList>
#include <gtest/gtest.h>

using namespace keytoner;

// Hex of sixteen bytes a line, each line ended; read back in either case, blanks and line ends
// optional, or the 192 raw bytes; nothing else.
TEST(ImageText, HexAndRawBytes)
{
    ConfigImage image;
    for (int i = 0; i < ConfigImageSize; ++i)
        image[i] = std::uint8_t(i * 7);
    const QByteArray hex = imageToHex(image).toLatin1();
    const QList<QByteArray> lines = hex.split('\n');
    ASSERT_EQ(lines.size(), 13); // the last line is ended too
    EXPECT_EQ(lines[0], "00 07 0E 15 1C 23 2A 31 38 3F 46 4D 54 5B 62 69");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(parseImage(hex).image, image);
    EXPECT_EQ(parseImage(hex.toLower().replace(" ", "").replace("\n", "")).image, image);
    const QByteArray raw(reinterpret_cast<const char *>(image.data()), ConfigImageSize);
    EXPECT_EQ(parseImage(raw).image, image);
    // 191 and 193 bytes, a byte that is no hex, a split pair, nothing
    for (const QByteArray &bad : {hex.chopped(4), hex + "00", QByteArray(hex).replace("07", "0G"),
                                  QByteArray(hex).replace("07", "0 7"), QByteArray()}) {
        const ImageParse read = parseImage(bad);
        EXPECT_FALSE(read.image || read.failure.isEmpty()) << bad.toStdString();
    }
}
