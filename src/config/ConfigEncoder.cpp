#include "ConfigEncoder.h"

#include "common/Dtmf.h"
#include "common/NumberText.h"

#include <functional>

namespace keytoner {

using namespace ImageLayout;

namespace {

using Failure = std::optional<QString>;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Rounds after dropping binary noise, so that a decimal half such as 0.35 x 10 rounds as the
// decimal 3.5 does rather than as 3.4999999999999996.
double roundDecimal(double x)
{
    return roundHalfEven(QString::number(x, 'g', 15).toDouble());
}

// A rounded value that must fit one byte of the image.
Failure storeByte(ConfigImage &image, int offset, double value, const QString &field,
                  const QString &text)
{
    const double rounded = roundDecimal(value);
    if (!(rounded >= 0.0 && rounded <= 255.0))
        return QStringLiteral("%1 %2 gives %3, which does not fit in a byte.")
            .arg(field, quoted(text), QString::number(rounded));
    image[offset] = std::uint8_t(rounded);
    return std::nullopt;
}

// Digit codes of `text` from `offset`, then the end mark when the area has room for it.
Failure storeSequence(ConfigImage &image, int offset, int areaSize, int maxDigits,
                      const QString &text, const QString &field)
{
    if (text.size() > maxDigits)
        return QStringLiteral("%1 %2 is longer than %3 digits.")
            .arg(field, quoted(text), QString::number(maxDigits));
    for (qsizetype k = 0; k < text.size(); ++k) {
        const int code = DigitCode(text[k], DigitCase::Exact);
        if (code < 0)
            return QStringLiteral("%1 %2: %3 is not a DTMF digit.")
                .arg(field, quoted(text), quoted(text.mid(k, 1)));
        image[offset + k] = std::uint8_t(code);
    }
    if (text.size() < areaSize)
        image[offset + text.size()] = SequenceEnd;
    return std::nullopt;
}

std::uint8_t powerOnFlags(const BoardConfig &config)
{
    std::uint8_t flags = 0;
    for (int i = 0; i < OutputCount; ++i)
        if (config.chkOutput[i])
            flags |= OutputFlag(i);
    if (config.chkMorse)
        flags |= MorseFlag;
    if (config.chkBCheck)
        flags |= BatteryCheckFlag;
    return flags;
}

// The steps of the build, in the order the board's manual gives the checks.
class Encoder {
public:
    explicit Encoder(const BoardConfig &config) : c_(config)
    {
        image_.fill(Unused);
        image_[Flags] = powerOnFlags(config);
    }

    ImageBuild run()
    {
        const std::function<Failure()> steps[] = {
            [&] { return checksumId(); }, [&] { return morseSpeed(); },
            [&] { return timer(); },      [&] { return batteryOrder(); },
            [&] { return batteryLow(); }, [&] { return batteryHigh(); },
            [&] { return duplicates(); }, [&] { return commands(); },
            [&] { return modifierId(); }, [&] { return callId(); },
        };
        for (const auto &step : steps)
            if (Failure failure = step())
                return {std::nullopt, *failure};
        return {image_, QString()};
    }

private:
    Failure checksumId()
    {
        if (c_.txtCrcTag.isEmpty())
            return QStringLiteral("Checksum ID empty.");
        const int code =
            c_.txtCrcTag.size() == 1 ? DigitCode(c_.txtCrcTag[0], DigitCase::Exact) : -1;
        if (code < 0)
            return QStringLiteral("Checksum ID %1 is not one DTMF digit.")
                .arg(quoted(c_.txtCrcTag));
        image_[ChecksumId] = std::uint8_t(code);
        return std::nullopt;
    }

    Failure morseSpeed()
    {
        const double speed = leadingNumber(c_.txtMorseSpeed);
        if (speed < 14 || speed > 150)
            return QStringLiteral("Please insert a valid Morse Speed");
        const auto strict = strictNumber(c_.txtMorseSpeed);
        if (!strict)
            return notANumber(QStringLiteral("Morse Speed"), c_.txtMorseSpeed);
        return storeByte(image_, MorseTiming, MorseTimingBase / *strict,
                         QStringLiteral("Morse Speed"), c_.txtMorseSpeed);
    }

    Failure timer()
    {
        const double seconds = leadingNumber(c_.txtTmr2);
        if (seconds < 1 || seconds > 255)
            return QStringLiteral("Please insert a valid Output 2 Timer Interval");
        const auto strict = strictNumber(c_.txtTmr2);
        if (!strict)
            return notANumber(QStringLiteral("Output 2 Timer"), c_.txtTmr2);
        return storeByte(image_, Timer, *strict, QStringLiteral("Output 2 Timer"), c_.txtTmr2);
    }

    // Compared in the board's 0.1 V steps: 1.24 and 1.25 differ in the fields but are both
    // stored as 12, and the board would get a low level equal to the high one.
    Failure batteryOrder()
    {
        if (roundDecimal(leadingNumber(c_.txtBlo) * 10) >=
            roundDecimal(leadingNumber(c_.txtBhi) * 10))
            return QStringLiteral("Battery High Level must be grater than Low level");
        return std::nullopt;
    }

    Failure batteryLow()
    {
        const double volts = leadingNumber(c_.txtBlo);
        if (volts < 0 || volts > 25.4)
            return QStringLiteral("Please insert a valid Low Battery Voltage");
        return storeByte(image_, BatteryLow, volts * 10, QStringLiteral("Low Battery Voltage"),
                         c_.txtBlo);
    }

    Failure batteryHigh()
    {
        const double volts = leadingNumber(c_.txtBhi);
        if (volts < 0.1 || volts > 25.5)
            return QStringLiteral("Please insert a valid High Battery Voltage");
        return storeByte(image_, BatteryHigh, volts * 10, QStringLiteral("High Battery Voltage"),
                         c_.txtBhi);
    }

    // The first non-empty command whose text another command repeats; its partner is the
    // lowest other index, so the smaller index of the first duplicated text comes first.
    Failure duplicates()
    {
        for (int i = 0; i < CommandCount; ++i) {
            if (c_.txtMem[i].isEmpty())
                continue;
            for (int j = 0; j < CommandCount; ++j)
                if (j != i && c_.txtMem[i] == c_.txtMem[j])
                    return QStringLiteral("Command #%1 is equal to Command #%2").arg(i).arg(j);
        }
        return std::nullopt;
    }

    Failure commands()
    {
        for (int i = 0; i < CommandCount; ++i)
            if (Failure failure = storeSequence(image_, Commands + CommandSize * i, CommandSize,
                                                FieldLength::Command, c_.txtMem[i],
                                                QStringLiteral("Command #%1").arg(i)))
                return failure;
        return std::nullopt;
    }

    Failure modifierId()
    {
        if (c_.txtSeqCmd.isEmpty())
            return QStringLiteral("Modifier ID is empty");
        return storeSequence(image_, ModifierId, ModifierSize, FieldLength::ModifierId,
                             c_.txtSeqCmd, QStringLiteral("Modifier ID"));
    }

    Failure callId()
    {
        const QString &call = c_.txtCallID;
        if (call.size() > FieldLength::CallId)
            return QStringLiteral("CW Call %1 is longer than %2 characters.")
                .arg(quoted(call), QString::number(FieldLength::CallId));
        // Only what the call field takes can be sent: the read-back after programming drops
        // a frame holding anything else, and would report a board that was programmed as not.
        for (qsizetype k = 0; k < call.size(); ++k) {
            if (!isCallSignCharacter(call[k]))
                return QStringLiteral("Please insert a valid CW Call: %1 is not an upper-case "
                                      "letter, a digit, a blank or one of : ; < = > ? @")
                    .arg(quoted(call.mid(k, 1)));
            image_[CallId + k] = std::uint8_t(call[k].unicode());
        }
        image_[CallId + call.size()] = CallEnd;
        return std::nullopt;
    }

    static QString notANumber(const QString &field, const QString &text)
    {
        return QStringLiteral("%1 %2 is not a number.").arg(field, quoted(text));
    }

    const BoardConfig &c_;
    ConfigImage image_{};
};

} // namespace

ImageBuild buildConfigImage(const BoardConfig &config)
{
    return Encoder(config).run();
}

} // namespace keytoner
