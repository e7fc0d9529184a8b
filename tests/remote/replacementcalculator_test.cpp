#include "remote/ReplacementCalculator.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace keytoner;
using Kind = ReplacementRefusal::Kind;

namespace {

ReplacementResult calc(const char *original, const char *newCode, const char *modifier,
                       const char *checksum)
{
    return calculateReplacement({QString::fromLatin1(original), QString::fromLatin1(modifier),
                                 QString::fromLatin1(newCode), QString::fromLatin1(checksum)});
}

std::string sequence(const ReplacementResult &result)
{
    if (const auto *text = std::get_if<QString>(&result))
        return text->toStdString();
    return "refused: " + std::get<ReplacementRefusal>(result).message.toStdString();
}

} // namespace

TEST(DigitCode, FollowsTheBoardTableNotTheKeypad)
{
    const QString table = QStringLiteral("D1234567890*#ABC");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(DigitCode(table.at(i)), i) << i;
    EXPECT_EQ(DigitCode(u'a'), 13);
    EXPECT_EQ(DigitCode(u'd'), 0);
    for (QChar other : QStringLiteral("eE x+-\u00e9"))
        EXPECT_EQ(DigitCode(other), -1) << int(other.unicode());
}

TEST(ChecksumSuffix, SplitsTheSumIntoHighAndLowDigits)
{
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
        EXPECT_EQ(sequence(calc(c.original, c.newCode, c.modifier, c.checksum)), c.sequence);
}

// The first refusal in the order the operator sees them, with the window's box, and the range
// of the field to select.
TEST(Replacement, Refusals)
{
    using F = ReplacementField;
    const struct {
        const char *original, *newCode, *modifier, *checksum;
        Kind kind;
        F field;
        int start;
        int length;
    } cases[] = {
        {"", "", "", "C", Kind::EmptyIds, F::None, 0, 0},
        {"5#9", "", "#9", "", Kind::EmptyIds, F::None, 0, 0},
        {"129", "129", "9", "C", Kind::OriginalEndsWithModifier, F::Original, 2, 1},
        {"5#9", "1#9", "#9", "C", Kind::OriginalEndsWithModifier, F::Original, 1, 2},
        {"1", "55#9", "#9", "C", Kind::NewEndsWithModifier, F::New, 2, 2},
        {"", "1#9", "#9", "C", Kind::NewEndsWithModifier, F::New, 1, 2},
        {"1", "2", "#9", "C", Kind::TooShort, F::None, 0, 0},
        {"", "22", "#9", "C", Kind::TooShort, F::None, 0, 0},
        {"12x4", "56", "#9", "C", Kind::NotDtmf, F::Original, 2, 1},
        {"12", "5a", "#9", "C", Kind::NotDtmf, F::New, 1, 1},
        {"12", "56", "#-", "C", Kind::NotDtmf, F::ModifierId, 1, 1},
        {"12", "56", "#9", "E", Kind::NotDtmf, F::ChecksumId, 0, 1},
        // Only reachable by bypassing the field's length limit: 18 digits of code 15 sum to 270.
        {"1", "CCCCCCCCCCCCCCCCCC", "#9", "C", Kind::TooLong, F::None, 0, 0},
    };
    const std::map<Kind, std::tuple<RefusalIcon, QString, QString>> boxes = {
        {Kind::EmptyIds,
         {RefusalIcon::Exclamation, "DTMF",
          "Modifier ID or Checksum ID cannot be empty.\r\nPlease insert Modifier ID / Checksum "
          "ID in Direct Programming Tab."}},
        {Kind::OriginalEndsWithModifier,
         {RefusalIcon::Information, "Warning",
          "Original Sequence ends with Modifier ID Sequence.\r\nPlease modify Original "
          "Sequence."}},
        {Kind::NewEndsWithModifier,
         {RefusalIcon::Information, "Warning",
          "New Sequence ends with Modifier ID Sequence.\r\nPlease modify New Sequence."}},
        {Kind::TooShort, {RefusalIcon::Exclamation, "DTMF", "Original/New Sequence too short."}},
    };
    const std::map<F, QString> names = {{F::Original, "Original Sequence"},
                                        {F::New, "New Sequence"},
                                        {F::ModifierId, "Modifier ID"},
                                        {F::ChecksumId, "Checksum ID"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.original) + " " + c.newCode + " " + c.modifier + " " +
                     c.checksum);
        const ReplacementResult result = calc(c.original, c.newCode, c.modifier, c.checksum);
        const auto *r = std::get_if<ReplacementRefusal>(&result);
        ASSERT_NE(r, nullptr) << sequence(result);
        EXPECT_EQ(r->kind, c.kind);
        EXPECT_EQ(r->field, c.field);
        EXPECT_EQ(r->selectionStart, c.start);
        if (c.kind != Kind::NotDtmf) {
            EXPECT_EQ(r->selectionLength, c.length);
        }
        if (const auto box = boxes.find(c.kind); box != boxes.end()) {
            EXPECT_EQ(r->icon, std::get<0>(box->second));
            EXPECT_EQ(r->title, std::get<1>(box->second));
            EXPECT_EQ(r->message, std::get<2>(box->second));
        } else if (c.kind == Kind::NotDtmf) {
            EXPECT_EQ(r->icon, RefusalIcon::Exclamation);
            EXPECT_EQ(r->title, QString("DTMF"));
            EXPECT_TRUE(r->message.startsWith(names.at(c.field))) << r->message.toStdString();
        }
    }
}
