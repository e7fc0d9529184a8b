#include "common/ItemReader.h"

#include <gtest/gtest.h>

#include <QStringList>

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
    ItemReader reader("1\r\n\r\n");
    EXPECT_EQ(reader.next(), QString("1"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.next().has_value());
}
