// Inputs the fuzz targets found faulty, kept so the faults stay fixed.
#include "entry/KeyFilters.h"

#include <gtest/gtest.h>

using namespace keytoner;

// An input method may hand over a high surrogate whose partner is missing; pairing it with the
// next unit gave a code above the last Unicode character.
TEST(FuzzFound, UnpairedHighSurrogateIsNotJoinedToTheNextUnit)
{
    const QChar high(char16_t(0xDBFF));
    for (const QChar next : {QChar(char16_t(0xFFFF)), QChar(u'a'), QChar(char16_t(0xDBFF))}) {
        const auto code = typedCharacterCode(0, QString(high) + next, Qt::NoModifier);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0xDBFF) << int(next.unicode());
    }
    // A proper pair still gives its character.
    EXPECT_EQ(typedCharacterCode(0, QStringLiteral("\U0001F600"), Qt::NoModifier), 0x1F600);
}
