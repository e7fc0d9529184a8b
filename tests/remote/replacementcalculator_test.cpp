#include "remote/ReplacementCalculator.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace keytoner;
using Kind = ReplacementRefusal::Kind;

namespace {

std::string sequence(const ReplacementResult &result)
{
    if (const auto *text = std::get_if<QString>(&result))
        return text->toStdString();
    return "refused: " + std::get<ReplacementRefusal>(result).message.toStdString();
}

} // namespace

// Codes follow the board's table, not the keypad; the checksum is their sum as two digits.
TEST(Replacement, DigitCodesAndChecksumSuffix)
{
    const QString table = QStringLiteral("D1234567890*#ABC");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(DigitCode(table.at(i)), i) << i;
    EXPECT_EQ(DigitCode(u'a'), 13);
    EXPECT_EQ(DigitCode(u'd'), 0);
    for (QChar other : QStringLiteral("eE x+-\u00e9"))
        EXPECT_EQ(DigitCode(other), -1) << int(other.unicode());
    EXPECT_EQ(ChecksumSuffix("C", 15), QString("CDC"));
    EXPECT_EQ(ChecksumSuffix("C", 16), QString("C1D"));
    EXPECT_EQ(ChecksumSuffix("A", 255), QString("ACC"));
    EXPECT_FALSE(ChecksumSuffix("C", -1));
    EXPECT_FALSE(ChecksumSuffix("C", 256));
}

TEST(Replacement, WorkedExamples)
{
    const struct {
        const char *original, *newCode, *modifier, *checksum, *sequence;
    } cases[] = {
        {"1234", "5678", "#9", "C", "1234#95678C10"},
        {"3", "DD", "#9", "C", "3#9DDCDD"},
        // Longest fields: 10 + 8 + 10 + 3 digits.
        {"0123456789", "CCCCCCCCCC", "ABCDABCD", "#", "0123456789ABCDABCDCCCCCCCCCC#96"},
        // Short sequences never match a longer modifier.
        {"23", "45", "123", "C", "2312345CD9"},
        {"9", "99", "999", "1", "999999112"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sequence(calculateReplacement({c.original, c.modifier, c.newCode, c.checksum})),
                  c.sequence);
}

// The first refusal in the order the operator sees them, with the window's box, and the range
// of the field to select.
TEST(Replacement, Refusals)
{
    using F = ReplacementField;
    using I = RefusalIcon;
    const QString empty =
        "Modifier ID or Checksum ID cannot be empty.\r\nPlease insert Modifier ID "
        "/ Checksum ID in Direct Programming Tab.";
    const QString originalEnds =
        "Original Sequence ends with Modifier ID Sequence.\r\nPlease modify Original Sequence.";
    const QString newEnds =
        "New Sequence ends with Modifier ID Sequence.\r\nPlease modify New Sequence.";
    const QString notDtmf = "%1 contains characters that are not DTMF digits.\r\nOnly 0-9, *, #, "
                            "A, B, C and D can be used.";
    const struct {
        const char *original, *newCode, *modifier, *checksum;
        Kind kind;
        I icon;
        QString message;
        F field;
        int start;
        int length;
    } cases[] = {
        {"", "", "", "C", Kind::EmptyIds, I::Exclamation, empty, F::None, 0, 0},
        {"5#9", "", "#9", "", Kind::EmptyIds, I::Exclamation, empty, F::None, 0, 0},
        {"129", "129", "9", "C", Kind::OriginalEndsWithModifier, I::Information, originalEnds,
         F::Original, 2, 1},
        {"5#9", "1#9", "#9", "C", Kind::OriginalEndsWithModifier, I::Information, originalEnds,
         F::Original, 1, 2},
        {"1", "55#9", "#9", "C", Kind::NewEndsWithModifier, I::Information, newEnds, F::New, 2, 2},
        {"", "1#9", "#9", "C", Kind::NewEndsWithModifier, I::Information, newEnds, F::New, 1, 2},
        {"1", "2", "#9", "C", Kind::TooShort, I::Exclamation, "Original/New Sequence too short.",
         F::None, 0, 0},
        {"", "22", "#9", "C", Kind::TooShort, I::Exclamation, "Original/New Sequence too short.",
         F::None, 0, 0},
        {"12x4", "56", "#9", "C", Kind::NotDtmf, I::Exclamation, notDtmf.arg("Original Sequence"),
         F::Original, 2, 1},
        {"12", "5a", "#9", "C", Kind::NotDtmf, I::Exclamation, notDtmf.arg("New Sequence"), F::New,
         1, 1},
        {"12", "56", "#-", "C", Kind::NotDtmf, I::Exclamation, notDtmf.arg("Modifier ID"),
         F::ModifierId, 1, 1},
        {"12", "56", "#9", "E", Kind::NotDtmf, I::Exclamation, notDtmf.arg("Checksum ID"),
         F::ChecksumId, 0, 1},
        // Only reachable by bypassing the field's length limit: 18 digits of code 15 sum to 270.
        {"1", "CCCCCCCCCCCCCCCCCC", "#9", "C", Kind::TooLong, I::Exclamation,
         "New Sequence too long for its checksum.", F::None, 0, 0},
    };
    for (const auto &c : cases) {
        const ReplacementResult result =
            calculateReplacement({c.original, c.modifier, c.newCode, c.checksum});
        const auto *r = std::get_if<ReplacementRefusal>(&result);
        ASSERT_NE(r, nullptr) << sequence(result);
        const QString title = c.icon == I::Information ? "Warning" : "DTMF";
        EXPECT_EQ(std::tuple(r->kind, r->icon, r->title, r->message, r->field, r->selectionStart,
                             r->selectionLength),
                  std::tuple(c.kind, c.icon, title, c.message, c.field, c.start, c.length))
            << r->message.toStdString();
    }
}
