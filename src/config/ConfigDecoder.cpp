#include "ConfigDecoder.h"

#include "common/Dtmf.h"
#include "common/NumberText.h"

namespace keytoner {

using namespace ImageLayout;

namespace {

// Digits of a sequence area up to its end mark; codes above 15 add nothing but use their byte.
QString sequenceText(const ConfigImage &image, int offset, int length)
{
    QString text;
    for (int k = 0; k < length; ++k) {
        const std::uint8_t byte = image[offset + k];
        if (byte == SequenceEnd)
            break;
        if (byte < DigitTable.size())
            text += DigitTable[byte];
    }
    return text;
}

QString callText(const ConfigImage &image)
{
    QString text;
    for (int k = 0; k < CallSize; ++k) {
        const std::uint8_t byte = image[CallId + k];
        if (byte == CallEnd)
            break;
        text += QChar::fromLatin1(char(byte));
    }
    return text;
}

QString morseSpeedText(std::uint8_t timing)
{
    if (timing == 0)
        return QString();
    return QString::number(qint64(roundHalfEven(MorseTimingBase / timing)));
}

} // namespace

QString voltageText(std::uint8_t tenths)
{
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

BoardConfig decodeConfigImage(const ConfigImage &image)
{
    BoardConfig config;
    const std::uint8_t flags = image[Flags];
    for (int i = 0; i < OutputCount; ++i)
        config.chkOutput[i] = (flags & OutputFlag(i)) != 0;
    config.chkMorse = (flags & MorseFlag) != 0;
    config.chkBCheck = (flags & BatteryCheckFlag) != 0;
    if (image[ChecksumId] < DigitTable.size())
        config.txtCrcTag = DigitTable[image[ChecksumId]];
    config.txtMorseSpeed = morseSpeedText(image[MorseTiming]);
    config.txtTmr2 = QString::number(image[Timer]);
    config.txtBlo = voltageText(image[BatteryLow]);
    config.txtBhi = voltageText(image[BatteryHigh]);
    for (int i = 0; i < CommandCount; ++i)
        config.txtMem[i] = sequenceText(image, Commands + CommandSize * i, CommandSize);
    // The ninth byte of the modifier area only ever holds its end mark.
    config.txtSeqCmd = sequenceText(image, ModifierId, ModifierSize - 1);
    config.txtCallID = callText(image);
    return config;
}

} // namespace keytoner
