#include "entry/KeyFilters.h"

#include <gtest/gtest.h>
#include <string>

using namespace keytoner;

namespace {

// The characters of `typed` that a filter lets through, after its replacement.
template <typename Filter> std::string passed(const std::string &typed, Filter filter)
{
    std::string out;
    for (char c : typed) {
        const int code = filter(static_cast<unsigned char>(c));
        if (code != 0)
            out += static_cast<char>(code);
    }
    return out;
}

int digit(int code)
{
    FilterDigitKey(code);
    return code;
}

int voltage(int code)
{
    FilterVoltageKey(code);
    return code;
}

int dtmf(int code)
{
    return FilterDtmfKey(code);
}

} // namespace

TEST(DtmfFilter, LetsKeysThroughAndUpperCasesLetters)
{
    EXPECT_EQ(passed("0123456789*#ABCD", dtmf), "0123456789*#ABCD");
    EXPECT_EQ(passed("abcd", dtmf), "ABCD");
    EXPECT_EQ(FilterDtmfKey(KeyCode::Backspace), KeyCode::Backspace);
}

TEST(DtmfFilter, SwallowsEverythingOutsideTheKeypad)
{
    EXPECT_EQ(passed("eEzZ .,-+/ \t", dtmf), "");
    for (int code : {KeyCode::Enter, KeyCode::CtrlV, KeyCode::CtrlX, 1, 26, 127, 0xe9, 0x1F600})
        EXPECT_EQ(FilterDtmfKey(code), 0) << code;
}

TEST(DtmfFilter, CopyIsRefusedOnlyWhereAsked)
{
    EXPECT_EQ(FilterDtmfKey(KeyCode::CtrlC), KeyCode::CtrlC);
    EXPECT_EQ(FilterDtmfKey(KeyCode::CtrlC, false), 0);
    EXPECT_EQ(FilterDtmfKey('b', false), 'B');
    EXPECT_EQ(FilterDtmfKey(KeyCode::Backspace, false), KeyCode::Backspace);
}

TEST(NewSequenceFilter, RefusesTheChecksumDigitInEitherCase)
{
    EXPECT_EQ(FilterNewSequenceKey('7', QString()), '7');
    EXPECT_EQ(FilterNewSequenceKey('7', QStringLiteral("7")), 0);
    EXPECT_EQ(FilterNewSequenceKey('8', QStringLiteral("7")), '8');
    EXPECT_EQ(FilterNewSequenceKey('b', QStringLiteral("B")), 0);
    EXPECT_EQ(FilterNewSequenceKey('B', QStringLiteral("b")), 0);
    EXPECT_EQ(FilterNewSequenceKey('e', QStringLiteral("7")), 0);
    EXPECT_EQ(FilterNewSequenceKey(KeyCode::Backspace, QStringLiteral("7")), KeyCode::Backspace);
    EXPECT_EQ(FilterNewSequenceKey(KeyCode::CtrlC, QStringLiteral("3")), KeyCode::CtrlC);
}

TEST(CallSignFilter, TakesLettersDigitsBlankAndTheSevenSigns)
{
    EXPECT_EQ(passed("iz1abc", FilterCallSignKey), "IZ1ABC");
    EXPECT_EQ(passed(" :;<=>?@", FilterCallSignKey), " :;<=>?@");
    EXPECT_EQ(passed("/-.,!9[", FilterCallSignKey), "9");
    EXPECT_EQ(FilterCallSignKey(KeyCode::Backspace), KeyCode::Backspace);
    EXPECT_EQ(FilterCallSignKey(KeyCode::CtrlC), 0);
    EXPECT_EQ(FilterCallSignKey(KeyCode::Enter), 0);
}

TEST(NumericFilters, DigitsAndBackspaceOnly)
{
    EXPECT_EQ(passed("0123456789", digit), "0123456789");
    EXPECT_EQ(passed("a.-+ e", digit), "");
    EXPECT_EQ(digit(KeyCode::Backspace), KeyCode::Backspace);
    for (int code : {KeyCode::CtrlC, KeyCode::CtrlV, KeyCode::Enter})
        EXPECT_EQ(digit(code), 0) << code;
}

TEST(NumericFilters, VoltageAlsoTakesDots)
{
    EXPECT_EQ(passed("12.5", voltage), "12.5");
    EXPECT_EQ(passed("1..2", voltage), "1..2");
    EXPECT_EQ(passed(",-v", voltage), "");
    EXPECT_EQ(voltage(KeyCode::Backspace), KeyCode::Backspace);
}

TEST(TypedCharacter, PrintableKeysGiveTheirCharacter)
{
    EXPECT_EQ(typedCharacterCode(Qt::Key_A, "a", Qt::NoModifier), 'a');
    EXPECT_EQ(typedCharacterCode(Qt::Key_A, "A", Qt::ShiftModifier), 'A');
    EXPECT_EQ(typedCharacterCode(Qt::Key_5, "5", Qt::KeypadModifier), '5');
    EXPECT_EQ(typedCharacterCode(Qt::Key_Space, " ", Qt::NoModifier), ' ');
    EXPECT_EQ(typedCharacterCode(Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier), 0xe9);
    // AltGr reported as Ctrl+Alt still types its character.
    EXPECT_EQ(typedCharacterCode(Qt::Key_At, "@", Qt::ControlModifier | Qt::AltModifier), '@');
}

TEST(TypedCharacter, EditingKeysGiveControlCodes)
{
    EXPECT_EQ(typedCharacterCode(Qt::Key_Backspace, "\b", Qt::NoModifier), KeyCode::Backspace);
    EXPECT_EQ(typedCharacterCode(Qt::Key_Return, "\r", Qt::NoModifier), KeyCode::Enter);
    EXPECT_EQ(typedCharacterCode(Qt::Key_Enter, "\r", Qt::KeypadModifier), KeyCode::Enter);
    EXPECT_EQ(typedCharacterCode(Qt::Key_C, "\x03", Qt::ControlModifier), KeyCode::CtrlC);
    EXPECT_EQ(typedCharacterCode(Qt::Key_V, "", Qt::ControlModifier), KeyCode::CtrlV);
    EXPECT_EQ(typedCharacterCode(Qt::Key_X, "\x18", Qt::ControlModifier | Qt::ShiftModifier),
              KeyCode::CtrlX);
    EXPECT_EQ(typedCharacterCode(Qt::Key_A, "\x01", Qt::ControlModifier), 1);
    EXPECT_EQ(typedCharacterCode(Qt::Key_Z, "\x1a", Qt::ControlModifier), 26);
}

TEST(TypedCharacter, KeysWithoutACharacterPassUntouched)
{
    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home,
                    Qt::Key_End, Qt::Key_F1, Qt::Key_F12, Qt::Key_Shift, Qt::Key_Control})
        EXPECT_FALSE(typedCharacterCode(key, "", Qt::NoModifier).has_value()) << key;
    EXPECT_FALSE(typedCharacterCode(Qt::Key_Delete, "\x7f", Qt::NoModifier).has_value());
    EXPECT_FALSE(typedCharacterCode(Qt::Key_Tab, "\t", Qt::NoModifier).has_value());
    EXPECT_FALSE(typedCharacterCode(Qt::Key_Escape, "\x1b", Qt::NoModifier).has_value());
    // Ctrl with a key that is no letter types nothing in a text field.
    EXPECT_FALSE(typedCharacterCode(Qt::Key_1, "1", Qt::ControlModifier).has_value());
    EXPECT_FALSE(typedCharacterCode(Qt::Key_Left, "", Qt::ControlModifier).has_value());
}
