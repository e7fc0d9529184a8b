// Typed characters through the field filters: whatever comes in, what goes out is a character
// the field takes, or nothing.
#include "FuzzCheck.h"
#include "common/Dtmf.h"
#include "entry/KeyFilters.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace keytoner;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::int32_t code;
    std::uint32_t keyAndModifiers;
    std::memcpy(&code, data, 4);
    std::memcpy(&keyAndModifiers, data + 4, 4);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 8), qsizetype((size - 8) / 2));

    const int dtmf = FilterDtmfKey(code);
    FUZZ_CHECK(dtmf == KeyCode::None || dtmf == KeyCode::Backspace || dtmf == KeyCode::CtrlC ||
               (dtmf < 128 && isDtmfKey(QChar(dtmf))));
    FUZZ_CHECK(FilterDtmfKey(code, false) != KeyCode::CtrlC);
    const int sequence = FilterNewSequenceKey(code, text);
    FUZZ_CHECK(sequence == KeyCode::None || sequence == dtmf);

    const int call = FilterCallSignKey(code);
    // Digits, : ; < = > ? @ and upper-case letters are the one range '0' to 'Z'.
    FUZZ_CHECK(call == KeyCode::None || call == KeyCode::Backspace || call == ' ' ||
               (call >= '0' && call <= 'Z'));

    int digit = code;
    FilterDigitKey(digit);
    FUZZ_CHECK(digit == KeyCode::None || digit == KeyCode::Backspace ||
               (digit >= '0' && digit <= '9'));
    int voltage = code;
    FilterVoltageKey(voltage);
    FUZZ_CHECK(voltage == digit || voltage == '.');

    const int key = int(keyAndModifiers & 0x01FFFFFF);
    const auto modifiers = Qt::KeyboardModifiers::fromInt(int(keyAndModifiers & 0xFE000000));
    const auto typed = typedCharacterCode(key, text, modifiers);
    if (typed)
        FUZZ_CHECK(*typed >= 0 && *typed <= 0x10FFFF);
    return 0;
}
