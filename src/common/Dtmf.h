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

inline bool isDtmfKey(QChar c) { return DtmfKeys.contains(c); }

} // namespace keytoner
