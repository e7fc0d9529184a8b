#pragma once

#include <QString>

class QLocale;

namespace keytoner {

inline constexpr int MinDigitMs = 25;
inline constexpr int MinGapMs = 15;
inline constexpr int MinPauseMs = 25;
inline constexpr int MinTxDelayMs = 20;
inline constexpr int MaxTxDelayMs = 2000;

// The sender's timing fields as the user typed them (milliseconds, read by their leading
// number: an empty or non-numeric text counts as 0).
struct SendTiming {
    QString digit;
    QString gap;
    QString pause;
    QString txDelay;
};

// Raises digit, gap and pause below their minimums to "25", "15", "25"; other texts stay as
// they are. The TX delay is left alone (it is corrected later in a send).
SendTiming correctToneTiming(const SendTiming &timing);

// A TX delay outside 20..2000 ms becomes "20"; the text stays as it is otherwise.
QString correctTxDelay(const QString &txDelay);

// Durations in seconds from the (corrected) fields, as the player takes them.
struct ToneDurations {
    double digit = 0.0;
    double gap = 0.0;
    double pause = 0.0;
};
ToneDurations toneDurations(const SendTiming &timing);

// The TX delay in whole milliseconds (halves to even).
int txDelayMs(const QString &txDelay);

// Status line texts of the sender.
QString sendingText();
QString notSentText();
// "Sequence completed." CR LF "Effective time = " followed by "1562mS." up to 9999 ms, by
// "12.3 Sec." (the locale's decimal separator) beyond.
QString completionText(int elapsedMs, const QLocale &locale);

} // namespace keytoner
