#include "entry/KeyFilters.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace keytoner;

// What each field lets through of the typed characters (after its replacement, 0 for swallowed)
// and of the editing codes.
TEST(KeyFilters, WhatEachFieldLetsThrough)
{
    namespace K = KeyCode;
    const struct {
        const char *field;
        std::function<int(int)> filter;
        std::string typed;
        std::string passed;
        std::vector<std::pair<int, int>> codes; // code, what comes out
    } cases[] = {
        {"dtmf",
         [](int c) { return FilterDtmfKey(c); },
         "0123456789*#ABCDabcd eEzZ.,-+/\t",
         "0123456789*#ABCDABCD",
         {{K::Backspace, K::Backspace},
          {K::CtrlC, K::CtrlC},
          {K::Enter, 0},
          {K::CtrlV, 0},
          {K::CtrlX, 0},
          {1, 0},
          {127, 0},
          {0xe9, 0},
          {0x1F600, 0}}},
        {"dtmf without copy",
         [](int c) { return FilterDtmfKey(c, false); },
         "b",
         "B",
         {{K::CtrlC, 0}, {K::Backspace, K::Backspace}}},
        {"new sequence, checksum ID 7",
         [](int c) { return FilterNewSequenceKey(c, QStringLiteral("7")); },
         "78e",
         "8",
         {{K::Backspace, K::Backspace}, {K::CtrlC, K::CtrlC}}},
        {"new sequence, checksum ID B",
         [](int c) { return FilterNewSequenceKey(c, "B"); },
         "bB7",
         "7",
         {}},
        {"new sequence, checksum ID b",
         [](int c) { return FilterNewSequenceKey(c, "b"); },
         "B",
         "",
         {}},
        {"new sequence, no checksum ID",
         [](int c) { return FilterNewSequenceKey(c, {}); },
         "7",
         "7",
         {}},
        {"call sign",
         FilterCallSignKey,
         "iz1abc :;<=>?@/-.,!9[",
         "IZ1ABC :;<=>?@9",
         {{K::Backspace, K::Backspace}, {K::CtrlC, 0}, {K::Enter, 0}}},
        {"digits",
         [](int c) { return FilterDigitKey(c), c; },
         "0123456789a.-+ e",
         "0123456789",
         {{K::Backspace, K::Backspace}, {K::CtrlC, 0}, {K::CtrlV, 0}, {K::Enter, 0}}},
        {"voltage",
         [](int c) { return FilterVoltageKey(c), c; },
         "12.5..,-v",
         "12.5..",
         {{K::Backspace, K::Backspace}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        std::string out;
        for (const char typed : c.typed)
            if (const int code = c.filter(static_cast<unsigned char>(typed)))
                out += static_cast<char>(code);
        EXPECT_EQ(out, c.passed);
        for (const auto &[code, expected] : c.codes)
            EXPECT_EQ(c.filter(code), expected) << code;
    }
}

// Printable keys give their character (AltGr reported as Ctrl+Alt included), editing keys their
// control code; keys without a character, and Ctrl with a key that is no letter, give nothing.
TEST(TypedCharacter, CodeOfAKey)
{
    const auto ctrl = Qt::ControlModifier;
    const struct {
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        std::optional<int> code;
    } cases[] = {
        {Qt::Key_A, "a", Qt::NoModifier, 'a'},
        {Qt::Key_A, "A", Qt::ShiftModifier, 'A'},
        {Qt::Key_5, "5", Qt::KeypadModifier, '5'},
        {Qt::Key_Space, " ", Qt::NoModifier, ' '},
        {Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier, 0xe9},
        {Qt::Key_At, "@", ctrl | Qt::AltModifier, '@'},
        {Qt::Key_Backspace, "\b", Qt::NoModifier, KeyCode::Backspace},
        {Qt::Key_Return, "\r", Qt::NoModifier, KeyCode::Enter},
        {Qt::Key_Enter, "\r", Qt::KeypadModifier, KeyCode::Enter},
        {Qt::Key_C, "\x03", ctrl, KeyCode::CtrlC},
        {Qt::Key_V, "", ctrl, KeyCode::CtrlV},
        {Qt::Key_X, "\x18", ctrl | Qt::ShiftModifier, KeyCode::CtrlX},
        {Qt::Key_A, "\x01", ctrl, 1},
        {Qt::Key_Z, "\x1a", ctrl, 26},
        {Qt::Key_Left, "", Qt::NoModifier, {}},
        {Qt::Key_End, "", Qt::NoModifier, {}},
        {Qt::Key_F1, "", Qt::NoModifier, {}},
        {Qt::Key_Shift, "", Qt::NoModifier, {}},
        {Qt::Key_Delete, "\x7f", Qt::NoModifier, {}},
        {Qt::Key_Tab, "\t", Qt::NoModifier, {}},
        {Qt::Key_Escape, "\x1b", Qt::NoModifier, {}},
        {Qt::Key_1, "1", ctrl, {}},
        {Qt::Key_Left, "", ctrl, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(typedCharacterCode(c.key, c.text, c.modifiers), c.code) << c.key;
}
