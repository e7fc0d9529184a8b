#pragma once

#include <QChar>
#include <QString>

namespace keytoner {

// The sixteen keys of a DTMF keypad, in the order users read them.
inline const QString DtmfKeys = QStringLiteral("0123456789*#ABCD");

// The board's and the calculator's digit code: a digit's position in this table (D is 0, 0 is 10).
inline const QString DigitTable = QStringLiteral("D1234567890*#ABC");

// The identity text of the supported board, two blanks before "v2".
inline const QString BoardIdentity = QStringLiteral("Tonesentinel  v2");

inline bool isDtmfKey(QChar c)
{
    return DtmfKeys.contains(c);
}

// How DigitCode takes the letters: the image's fields match DigitTable exactly, the calculator
// also reads lower-case a to d as A to D.
enum class DigitCase { Exact, FoldLowerCase };

// The board's 4-bit code of a DTMF digit, its position in DigitTable; -1 for any other character.
inline int DigitCode(QChar digit, DigitCase letters = DigitCase::FoldLowerCase)
{
    const bool fold = letters == DigitCase::FoldLowerCase && digit >= u'a' && digit <= u'd';
    return int(DigitTable.indexOf(fold ? digit.toUpper() : digit));
}

} // namespace keytoner
