#include "entry/KeyFilters.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace keytoner;
namespace K = KeyCode;

// What each field lets through of the typed characters (after its replacement; 0 is swallowed)
// and of the editing codes.
// Printable keys give their character (AltGr reported as Ctrl+Alt included), editing keys their
// control code; keys without a character, and Ctrl with a key that is no letter, give nothing.
// A high surrogate without its partner (the fuzz target found one) stays alone.
TEST(KeyFilters, TypedCharactersAndWhatEachFieldLetsThrough)
{
    const std::function<int(int)> dtmf = [](int c) { return FilterDtmfKey(c); },
                                  noCopy = [](int c) { return FilterDtmfKey(c, false); },
                                  seven = [](int c) { return FilterNewSequenceKey(c, "7"); },
                                  b = [](int c) { return FilterNewSequenceKey(c, "b"); },
                                  none = [](int c) { return FilterNewSequenceKey(c, {}); },
                                  call = FilterCallSignKey,
                                  digits = [](int c) { return FilterDigitKey(c), c; },
                                  volts = [](int c) { return FilterVoltageKey(c), c; };
    const std::tuple<std::function<int(int)>, std::string, std::string> typed[] = {
        {dtmf, "0123456789*#ABCDabcd eEzZ.,-+/\t", "0123456789*#ABCDABCD"},
        {noCopy, "b", "B"},
        {seven, "78e", "8"},
        {b, "bB7", "7"},
        {none, "7", "7"},
        {call, "iz1abc :;<=>?@/-.,!9[", "IZ1ABC :;<=>?@9"},
        {digits, "0123456789a.-+ e", "0123456789"},
        {volts, "12.5..,-v", "12.5.."},
    };
    for (const auto &[filter, keys, passed] : typed) {
        std::string out;
        for (const char key : keys)
            if (const int code = filter(static_cast<unsigned char>(key)))
                out += static_cast<char>(code);
        EXPECT_EQ(out, passed) << keys;
    }
    // 0x10030 is no '0' cut to 16 bits.
    const std::tuple<std::function<int(int)>, int, int> codes[] = {
        {dtmf, K::Backspace, K::Backspace},
        {dtmf, K::CtrlC, K::CtrlC},
        {dtmf, K::CtrlV, 0},
        {dtmf, 0x10030, 0},
        {noCopy, K::CtrlC, 0},
        {seven, K::CtrlC, K::CtrlC},
        {call, K::CtrlC, 0},
        {call, K::Backspace, 8},
        {digits, K::Backspace, 8},
        {digits, K::CtrlC, 0},
        {volts, K::Backspace, 8}};
    for (const auto &[filter, code, passed] : codes)
        EXPECT_EQ(filter(code), passed) << code;
    const auto ctrl = Qt::ControlModifier;
    const struct {
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        std::optional<int> code;
    } cases[] = {{Qt::Key_A, "a", Qt::NoModifier, 'a'},
                 {Qt::Key_5, "5", Qt::KeypadModifier, '5'},
                 {0, QStringLiteral("\U0001F600"), Qt::NoModifier, 0x1F600},
                 {0, QStringLiteral("\U0010FFFF").left(1) + u'a', Qt::NoModifier, 0xDBFF},
                 {0, QStringLiteral("\U0010FFFF").left(1) + QChar(0xFFFF), Qt::NoModifier, 0xDBFF},
                 {Qt::Key_At, "@", ctrl | Qt::AltModifier, '@'},
                 {Qt::Key_Backspace, "\b", Qt::NoModifier, K::Backspace},
                 {Qt::Key_Return, "\r", Qt::NoModifier, K::Enter},
                 {Qt::Key_Enter, "\r", Qt::KeypadModifier, K::Enter},
                 {Qt::Key_V, "", ctrl, K::CtrlV},
                 {Qt::Key_X, "\x18", ctrl | Qt::ShiftModifier, K::CtrlX},
                 {Qt::Key_A, "\x01", ctrl, 1},
                 {Qt::Key_Z, "\x1a", ctrl, 26},
                 {Qt::Key_Left, "", Qt::NoModifier, {}},
                 {Qt::Key_Delete, "\x7f", Qt::NoModifier, {}},
                 {Qt::Key_Tab, "\t", Qt::NoModifier, {}},
                 {Qt::Key_1, "1", ctrl, {}}};
    for (const auto &c : cases)
        EXPECT_EQ(typedCharacterCode(c.key, c.text, c.modifiers), c.code) << c.key;
}
