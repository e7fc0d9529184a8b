#pragma once

#include <QString>
#include <optional>

namespace keytoner {

// The integer nearest to x, halves going to the even neighbour (59.5 -> 60, 42.5 -> 42).
double roundHalfEven(double x);

// Lenient reading of a field's text: the value of the longest leading part that forms a
// decimal number ("." as separator whatever the locale). Leading blanks are skipped; an empty
// or non-numeric text reads as 0. "1.2." reads as 1.2, "12abc" as 12.
double leadingNumber(const QString &text);

// Strict reading: the whole text, blanks around it aside, must be one decimal number.
std::optional<double> strictNumber(const QString &text);

// The value of one hexadecimal digit, either case; -1 for any other character.
int hexDigitValue(char c);

} // namespace keytoner
