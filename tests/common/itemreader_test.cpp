#include "common/ItemReader.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace keytoner;

// An item ends at a comma or at a line end, so an empty line is an empty item wherever it is; a
// quoted item keeps its commas, blanks and line ends up to its closing quote, or to the end.
TEST(ItemReader, ItemsOfAText)
{
    const struct {
        const char *text;
        QStringList items;
    } rows[] = {
        {"\"a, b \",\" \"", {"a, b ", " "}},
        {"  12 , 3\t,4", {"12", "3", "4"}},
        {"1\r\n0\r\n\"123\",\"#\",1\r\n\"\"\r\n", {"1", "0", "123", "#", "1", ""}},
        {"\"abc", {"abc"}},
        {"1\r\n\r\n3\r\n", {"1", "", "3"}},
        {"1\n\n\n", {"1", "", ""}},
        {"a,\r\nb", {"a", "", "b"}},
        {"a,,b,", {"a", "", "b", ""}},
        {"  \t\r\nx", {"", "x"}},
        {"1\r2\r\r3", {"1", "2", "", "3"}},
        // A doubly converted CR LF file: CR CR LF is one line end.
        {"1\r\r\n2\r\r\n", {"1", "2"}},
        {"\"a\r\nb\"\r\nc", {"a\r\nb", "c"}},
        {"\"\"\r\n\"\"", {"", ""}},
    };
    for (const auto &row : rows) {
        ItemReader reader(row.text);
        QStringList items;
        while (auto item = reader.next())
            items << *item;
        EXPECT_EQ(items, row.items) << row.text;
        EXPECT_TRUE(reader.atEnd()) << row.text;
    }
}
