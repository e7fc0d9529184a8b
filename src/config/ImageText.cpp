#include "ImageText.h"

#include "common/NumberText.h"

#include <algorithm>

namespace keytoner {

namespace {

constexpr int BytesPerLine = 16;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

ImageParse parseHex(const QByteArray &text)
{
    ImageParse result;
    ConfigImage image{};
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isSpace(text[i]))
            continue;
        const int high = hexDigitValue(text[i]);
        const int low = i + 1 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        if (high < 0 || low < 0) {
            result.failure = QStringLiteral("not hex text: unexpected character at offset %1")
                                 .arg(i + (high < 0 ? 0 : 1));
            return result;
        }
        if (count == ConfigImageSize) {
            result.failure = QStringLiteral("more than %1 bytes of hex text").arg(ConfigImageSize);
            return result;
        }
        image[count++] = std::uint8_t(high * 16 + low);
        ++i;
    }
    if (count != ConfigImageSize) {
        result.failure =
            QStringLiteral("%1 bytes of hex text; an image has %2").arg(count).arg(ConfigImageSize);
        return result;
    }
    result.image = image;
    return result;
}

} // namespace

QString imageToHex(const ConfigImage &image)
{
    QString text;
    for (int i = 0; i < ConfigImageSize; ++i) {
        text += QStringLiteral("%1").arg(image[i], 2, 16, QLatin1Char('0')).toUpper();
        text += (i % BytesPerLine == BytesPerLine - 1) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

ImageParse parseImage(const QByteArray &bytes)
{
    // Hex text of a whole image takes at least twice as many characters as the raw bytes, so a
    // file of exactly 192 bytes can only be the raw image.
    if (bytes.size() == ConfigImageSize) {
        ImageParse raw;
        ConfigImage image{};
        std::copy(bytes.begin(), bytes.end(), image.begin());
        raw.image = image;
        return raw;
    }
    return parseHex(bytes);
}

} // namespace keytoner
