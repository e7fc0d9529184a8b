#pragma once

#include <QString>
#include <QtCore/qnamespace.h>
#include <optional>

namespace keytoner {

// Character codes of the keys the field filters care about. A filter takes the code of one
// typed character and returns the code to insert (possibly upper-cased) or 0 to swallow it.
namespace KeyCode {
inline constexpr int None = 0;
inline constexpr int CtrlC = 3;
inline constexpr int Backspace = 8;
inline constexpr int Enter = 13;
inline constexpr int CtrlV = 22;
inline constexpr int CtrlX = 24;
} // namespace KeyCode

// Fields that hold DTMF sequences: upper-cases, lets DTMF keys and Backspace through, and
// Ctrl+C unless allowCopy is false (the checksum ID field hides its digit from the clipboard).
int FilterDtmfKey(int code, bool allowCopy = true);

// The new-code field of the replacement calculator: a DTMF field that also refuses the digit of
// the checksum ID, since a new code containing it could not be told apart on the air.
int FilterNewSequenceKey(int code, const QString &checksumId);

// The CW call sign: upper-cased letters, decimal digits, blank, ":;<=>?@" and Backspace.
int FilterCallSignKey(int code);

// Numeric fields: decimal digits and Backspace; the voltage fields also take ".".
void FilterDigitKey(int &code);
void FilterVoltageKey(int &code);

// The character code a key press types, as the field filters see it: printable keys give their
// character, Backspace 8, Enter and Return 13, Ctrl+letter 1 to 26. Keys that type no character
// (arrows, Delete, Home, End, Tab, function keys, other Ctrl combinations) give nullopt and are
// left to the field untouched.
std::optional<int> typedCharacterCode(int key, const QString &text,
                                      Qt::KeyboardModifiers modifiers);

} // namespace keytoner
