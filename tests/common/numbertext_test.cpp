#include "common/NumberText.h"

#include <gtest/gtest.h>

using namespace keytoner;

// The longest leading number, blanks before it allowed, the locale's decimal comma not; nothing
// numeric reads 0. A strict number is the whole text, blanks around it allowed.
TEST(NumberText, LeadingAndStrictNumbers)
{
    const struct {
        const char *text;
        double leading;
        std::optional<double> strict;
    } cases[] = {
        {"20", 20, 20},    {" 20 ", 20, 20}, {"12.5", 12.5, 12.5}, {"1.2.", 1.2, {}},
        {"12abc", 12, {}}, {".5", 0.5, 0.5}, {"3.", 3, 3},         {"12,5", 12, {}},
        {"", 0, {}},       {"abc", 0, {}},   {".", 0, {}},         {"-", 0, {}},
    };
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.leading) << c.text;
        EXPECT_EQ(strictNumber(c.text), c.strict) << c.text;
    }
}
