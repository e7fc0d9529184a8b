#include "common/ItemReader.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace keytoner;

namespace {

QStringList readAll(const QString &text)
{
    ItemReader reader(text);
    QStringList items;
    while (auto item = reader.next())
        items << *item;
    return items;
}

} // namespace

TEST(ItemReader, QuotedAndUnquotedItemsOnOneLine)
{
    EXPECT_EQ(readAll("\"C:\\x\\Default.prg\",0,0,0,\"0123456789*#ABCD\",\"60\"\r\n"),
              (QStringList{"C:\\x\\Default.prg", "0", "0", "0", "0123456789*#ABCD", "60"}));
}

TEST(ItemReader, QuotedItemKeepsCommasAndBlanks)
{
    EXPECT_EQ(readAll("\"a, b \",\" \""), (QStringList{"a, b ", " "}));
}

TEST(ItemReader, UnquotedItemLosesSurroundingBlanks)
{
    EXPECT_EQ(readAll("  12 , 3\t,4"), (QStringList{"12", "3", "4"}));
}

TEST(ItemReader, ItemsMaySpanLines)
{
    EXPECT_EQ(readAll("1\r\n0\r\n\"123\",\"#\",1\r\n\"\"\r\n"),
              (QStringList{"1", "0", "123", "#", "1", ""}));
    EXPECT_EQ(readAll("1\n2\n"), (QStringList{"1", "2"}));
}

TEST(ItemReader, EmptyItemsBetweenCommas)
{
    EXPECT_EQ(readAll("a,,b"), (QStringList{"a", "", "b"}));
}

TEST(ItemReader, UnterminatedQuoteRunsToTheEnd)
{
    EXPECT_EQ(readAll("\"abc"), (QStringList{"abc"}));
}

TEST(ItemReader, EndOfTextIsReported)
{
    ItemReader reader("1\r\n");
    EXPECT_EQ(reader.next(), QString("1"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.next().has_value());
}

// An item ends at a comma or at a line end: an empty line is an empty item, wherever it is.
TEST(ItemReader, LineEndsEndItems)
{
    const struct {
        const char *text;
        QStringList items;
    } rows[] = {
        {"1\r\n\r\n3\r\n", {"1", "", "3"}},
        {"\r\n2", {"", "2"}},
        {"1\n\n\n", {"1", "", ""}},
        {"a,\r\nb", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"  \t\r\nx", {"", "x"}},
        {"1\r2\r\r3", {"1", "2", "", "3"}},
        // A doubly converted CR LF file: CR CR LF is one line end.
        {"1\r\r\n2\r\r\n", {"1", "2"}},
        // A quoted item still runs to its closing quote.
        {"\"a\r\nb\"\r\nc", {"a\r\nb", "c"}},
        {"\"\"\r\n\"\"", {"", ""}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(readAll(row.text), row.items) << row.text;
}
