#include "SenderTiming.h"

#include "common/NumberText.h"

#include <QLocale>

namespace keytoner {

namespace {

QString raisedTo(const QString &text, int minimum)
{
    return leadingNumber(text) < minimum ? QString::number(minimum) : text;
}

} // namespace

SendTiming correctToneTiming(const SendTiming &timing)
{
    SendTiming corrected = timing;
    corrected.digit = raisedTo(timing.digit, MinDigitMs);
    corrected.gap = raisedTo(timing.gap, MinGapMs);
    corrected.pause = raisedTo(timing.pause, MinPauseMs);
    return corrected;
}

QString correctTxDelay(const QString &txDelay)
{
    const double value = leadingNumber(txDelay);
    if (value < MinTxDelayMs || value > MaxTxDelayMs)
        return QString::number(MinTxDelayMs);
    return txDelay;
}

ToneDurations toneDurations(const SendTiming &timing)
{
    return {leadingNumber(timing.digit) / 1000.0, leadingNumber(timing.gap) / 1000.0,
            leadingNumber(timing.pause) / 1000.0};
}

int txDelayMs(const QString &txDelay)
{
    return static_cast<int>(roundHalfEven(leadingNumber(txDelay)));
}

QString sendingText()
{
    return QStringLiteral("Sending Sequence.....");
}

QString notSentText()
{
    return QStringLiteral("Sequence NOT sent.");
}

QString completionText(int elapsedMs, const QLocale &locale)
{
    QString text = QStringLiteral("Sequence completed.\r\nEffective time = ");
    if (elapsedMs <= 9999)
        return text + QString::number(elapsedMs) + QStringLiteral("mS.");
    // Rounded on the exact decimal value (12350 ms gives 12.4), not on its binary neighbour.
    const qint64 tenths = (qint64(elapsedMs) + 50) / 100;
    return text + QString::number(tenths / 10) + locale.decimalPoint() +
           QString::number(tenths % 10) + QStringLiteral(" Sec.");
}

} // namespace keytoner
