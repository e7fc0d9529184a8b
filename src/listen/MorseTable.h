#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace keytoner {

// International Morse: a character (or a prosign written "<AR>") and its dits and dahs as
// '.' and '-'. Upper-case only; lower-case letters are looked up as upper-case.
std::optional<std::string_view> morseCode(std::string_view character);
// The text for a received code: the character, a prosign in angle brackets, or "*" when the
// code means nothing.
std::string morseText(std::string_view code);

} // namespace keytoner
