#include "MorseTable.h"

#include <array>
#include <cctype>
#include <utility>

namespace keytoner {

namespace {

using Entry = std::pair<std::string_view, std::string_view>;

// Characters first, so that a code shared with a prosign reads as the character: the board's
// call may contain "=" and the other signs from ':' to '@'.
constexpr std::array CodeTable{
    Entry{"A", ".-"},          Entry{"B", "-..."},
    Entry{"C", "-.-."},        Entry{"D", "-.."},
    Entry{"E", "."},           Entry{"F", "..-."},
    Entry{"G", "--."},         Entry{"H", "...."},
    Entry{"I", ".."},          Entry{"J", ".---"},
    Entry{"K", "-.-"},         Entry{"L", ".-.."},
    Entry{"M", "--"},          Entry{"N", "-."},
    Entry{"O", "---"},         Entry{"P", ".--."},
    Entry{"Q", "--.-"},        Entry{"R", ".-."},
    Entry{"S", "..."},         Entry{"T", "-"},
    Entry{"U", "..-"},         Entry{"V", "...-"},
    Entry{"W", ".--"},         Entry{"X", "-..-"},
    Entry{"Y", "-.--"},        Entry{"Z", "--.."},
    Entry{"0", "-----"},       Entry{"1", ".----"},
    Entry{"2", "..---"},       Entry{"3", "...--"},
    Entry{"4", "....-"},       Entry{"5", "....."},
    Entry{"6", "-...."},       Entry{"7", "--..."},
    Entry{"8", "---.."},       Entry{"9", "----."},
    Entry{".", ".-.-.-"},      Entry{",", "--..--"},
    Entry{"?", "..--.."},      Entry{"'", ".----."},
    Entry{"!", "-.-.--"},      Entry{"/", "-..-."},
    Entry{")", "-.--.-"},      Entry{"&", ".-..."},
    Entry{":", "---..."},      Entry{";", "-.-.-."},
    Entry{"=", "-...-"},       Entry{"-", "-....-"},
    Entry{"_", "..--.-"},      Entry{"\"", ".-..-."},
    Entry{"$", "...-..-"},     Entry{"@", ".--.-."},
    Entry{"<AR>", ".-.-."},    Entry{"<SK>", "...-.-"},
    Entry{"<KN>", "-.--."},    Entry{"<SOS>", "...---..."},
    Entry{"<HH>", "........"}, Entry{"<BT>", "-...-"},
};

} // namespace

std::optional<std::string_view> morseCode(std::string_view character)
{
    std::string key(character);
    for (char &c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto &[text, code] : CodeTable) {
        if (text == key)
            return code;
    }
    return std::nullopt;
}

std::string morseText(std::string_view code)
{
    for (const auto &[text, entry] : CodeTable) {
        if (entry == code)
            return std::string(text);
    }
    return "*";
}

} // namespace keytoner
