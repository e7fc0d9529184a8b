#include "remote/ReplacementCalculator.h"

#include <gtest/gtest.h>

using namespace keytoner;
using Kind = ReplacementRefusal::Kind;

namespace {

ReplacementResult calc(const char *original, const char *newCode, const char *modifier = "#9",
                       const char *checksum = "C")
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

ReplacementRefusal refusal(const ReplacementResult &result)
{
    EXPECT_TRUE(std::holds_alternative<ReplacementRefusal>(result)) << sequence(result);
    if (const auto *r = std::get_if<ReplacementRefusal>(&result))
        return *r;
    return {};
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
    EXPECT_EQ(ChecksumSuffix("C", 0), QString("CDD"));
    EXPECT_EQ(ChecksumSuffix("C", 15), QString("CDC"));
    EXPECT_EQ(ChecksumSuffix("C", 16), QString("C1D"));
    EXPECT_EQ(ChecksumSuffix("#", 150), QString("#96"));
    EXPECT_EQ(ChecksumSuffix("A", 255), QString("ACC"));
    EXPECT_FALSE(ChecksumSuffix("C", -1));
    EXPECT_FALSE(ChecksumSuffix("C", 256));
}

TEST(Replacement, WorkedExamples)
{
    EXPECT_EQ(sequence(calc("1234", "5678")), "1234#95678C10");
    EXPECT_EQ(sequence(calc("7", "12")), "7#912CD3");
    EXPECT_EQ(sequence(calc("55", "A0*")), "55#9A0*C22");
    EXPECT_EQ(sequence(calc("3", "DD")), "3#9DDCDD");
    EXPECT_EQ(sequence(calc("1", "22", "9")), "1922CD4");
    // Longest fields: 10 + 8 + 10 + 3 digits.
    EXPECT_EQ(sequence(calc("0123456789", "CCCCCCCCCC", "ABCDABCD", "#")),
              "0123456789ABCDABCDCCCCCCCCCC#96");
}

TEST(Replacement, EmptyIdsAreRefusedFirst)
{
    for (auto [modifier, checksum] : {std::pair{"", "C"}, {"#9", ""}, {"", ""}}) {
        const auto r = refusal(calc("", "", modifier, checksum));
        EXPECT_EQ(r.kind, Kind::EmptyIds);
        EXPECT_EQ(r.icon, RefusalIcon::Exclamation);
        EXPECT_EQ(r.title, QString("DTMF"));
        EXPECT_EQ(r.message, QString("Modifier ID or Checksum ID cannot be empty.\r\n"
                                     "Please insert Modifier ID / Checksum ID in Direct "
                                     "Programming Tab."));
    }
}

TEST(Replacement, SequencesEndingWithTheModifierSelectItsLastCharacters)
{
    auto r = refusal(calc("129", "129", "9"));
    EXPECT_EQ(r.kind, Kind::OriginalEndsWithModifier);
    EXPECT_EQ(r.icon, RefusalIcon::Information);
    EXPECT_EQ(r.title, QString("Warning"));
    EXPECT_EQ(r.message, QString("Original Sequence ends with Modifier ID Sequence.\r\n"
                                 "Please modify Original Sequence."));
    EXPECT_EQ(r.field, ReplacementField::Original);
    EXPECT_EQ(r.selectionStart, 2);
    EXPECT_EQ(r.selectionLength, 1);

    r = refusal(calc("1", "55#9", "#9"));
    EXPECT_EQ(r.kind, Kind::NewEndsWithModifier);
    EXPECT_EQ(r.message, QString("New Sequence ends with Modifier ID Sequence.\r\n"
                                 "Please modify New Sequence."));
    EXPECT_EQ(r.field, ReplacementField::New);
    EXPECT_EQ(r.selectionStart, 2);
    EXPECT_EQ(r.selectionLength, 2);

    // Equal to the modifier: the whole text is selected.
    r = refusal(calc("#9", "12"));
    EXPECT_EQ(r.selectionStart, 0);
    EXPECT_EQ(r.selectionLength, 2);
}

TEST(Replacement, ShortSequencesNeverMatchALongerModifier)
{
    EXPECT_EQ(sequence(calc("23", "45", "123")), "2312345CD9");
    EXPECT_EQ(sequence(calc("9", "99", "999", "1")), "999999112");
}

TEST(Replacement, TooShortComesAfterTheModifierChecks)
{
    auto r = refusal(calc("1", "2"));
    EXPECT_EQ(r.kind, Kind::TooShort);
    EXPECT_EQ(r.icon, RefusalIcon::Exclamation);
    EXPECT_EQ(r.title, QString("DTMF"));
    EXPECT_EQ(r.message, QString("Original/New Sequence too short."));
    EXPECT_EQ(refusal(calc("", "22")).kind, Kind::TooShort);
    // An empty original with a new sequence ending in the modifier: the modifier check wins.
    EXPECT_EQ(refusal(calc("", "1#9")).kind, Kind::NewEndsWithModifier);
    EXPECT_EQ(refusal(calc("5#9", "1#9")).kind, Kind::OriginalEndsWithModifier);
    EXPECT_EQ(refusal(calc("5#9", "", "#9", "")).kind, Kind::EmptyIds);
}

TEST(Replacement, PastedNonDigitsAreRefusedNamingTheField)
{
    struct Case {
        const char *original, *newCode, *modifier, *checksum;
        ReplacementField field;
        const char *name;
        int position;
    };
    const Case cases[] = {
        {"12x4", "56", "#9", "C", ReplacementField::Original, "Original Sequence", 2},
        {"12", "5 6", "#9", "C", ReplacementField::New, "New Sequence", 1},
        {"12", "5a", "#9", "C", ReplacementField::New, "New Sequence", 1},
        {"12", "56", "#-", "C", ReplacementField::ModifierId, "Modifier ID", 1},
        {"12", "56", "#9", "E", ReplacementField::ChecksumId, "Checksum ID", 0},
    };
    for (const auto &c : cases) {
        const auto r = refusal(calc(c.original, c.newCode, c.modifier, c.checksum));
        EXPECT_EQ(r.kind, Kind::NotDtmf) << c.name;
        EXPECT_EQ(r.icon, RefusalIcon::Exclamation);
        EXPECT_EQ(r.title, QString("DTMF"));
        EXPECT_TRUE(r.message.startsWith(QString::fromLatin1(c.name))) << r.message.toStdString();
        EXPECT_EQ(r.field, c.field);
        EXPECT_EQ(r.selectionStart, c.position);
    }
}

TEST(Replacement, NoChecksumBeyondTwoDigits)
{
    // Only reachable by bypassing the field's length limit: 18 digits of code 15 sum to 270.
    const auto r = refusal(calc("1", "CCCCCCCCCCCCCCCCCC"));
    EXPECT_EQ(r.kind, Kind::TooLong);
}
