#include "ConfigSamples.h"
#include "config/ConfigFile.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace keytoner;
using keytoner::test::exampleConfig;
using keytoner::test::exampleFile;

TEST(ConfigFile, WritesTheExampleByteForByte)
{
    EXPECT_EQ(writeConfigFile(exampleConfig()), exampleFile());
}

// Items may be arranged over lines in any way; a hand-made file may leave the quotes out (an
// empty command is then an empty line, which is an item); what follows the 30 items is not read.
TEST(ConfigFile, ReadsTheItemsInAnyLayout)
{
    auto replaced = [](const char *from, const char *to) {
        return QByteArray(exampleFile()).replace(from, to);
    };
    const QByteArray layouts[] = {exampleFile(), replaced("\r\n", ",").chopped(1),
                                  replaced("\r\n", "\n"), replaced("\"", ""),
                                  exampleFile() + "\"99\",1,\"junk\"\r\n"};
    for (const QByteArray &bytes : layouts) {
        const ConfigFileRead read = readConfigFile(bytes);
        EXPECT_TRUE(read.complete()) << bytes.toStdString();
        EXPECT_EQ(read.config, exampleConfig()) << bytes.toStdString();
    }
}

// Commas, blanks and Latin-1 survive; a file holds texts as they stand, and the fields cut them.
TEST(ConfigFile, TextsReadBackAsTheyStand)
{
    BoardConfig odd = exampleConfig();
    odd.txtCallID = QString::fromLatin1("A,\xC8 ;");
    odd.txtMem[15] = "12345678901234";
    odd.chkOutput = {false, true, false, true};
    const QByteArray bytes = writeConfigFile(odd);
    EXPECT_TRUE(bytes.contains("\"A,\xC8 ;\""));
    const BoardConfig read = readConfigFile(bytes).config;
    EXPECT_EQ(read, odd);
    EXPECT_EQ(fittedToFields(read).txtMem[15], "1234567890");
}

// Reading stops at a flag item other than 0 or 1, or where the file ends, and says which item.
TEST(ConfigFile, ReadingStopsAtABadFlagOrTheEnd)
{
    auto withItem = [](int item, const QByteArray &value) {
        QList<QByteArray> items = QByteArray(exampleFile()).replace("\r\n", ",").split(',');
        items[item] = value;
        return items.join(',');
    };
    const struct {
        QByteArray bytes;
        int itemsRead;
        QString failure;
    } cases[] = {
        {withItem(2, "2"), 2, R"(Item 3 (power-on state of output 3) is "2"; it must be 0 or 1.)"},
        {withItem(6, "yes"), 6, R"(Item 7 (CW reply flag) is "yes"; it must be 0 or 1.)"},
        {withItem(10, " 1 "), ConfigItem::Count, {}},
        {withItem(10, "\"0\""), ConfigItem::Count, {}},
        {exampleFile().left(exampleFile().indexOf("\"11\"")), 13,
         "The file ends before item 14 of 30 (command 0)."},
    };
    for (const auto &c : cases) {
        const ConfigFileRead read = readConfigFile(c.bytes);
        EXPECT_EQ(read.itemsRead, c.itemsRead) << c.bytes.toStdString();
        EXPECT_EQ(read.failure, c.failure) << c.bytes.toStdString();
    }
}

TEST(ConfigFile, RefusedSaveNamesTheFieldAndKeepsTheOldFile)
{
    const struct {
        std::function<void(BoardConfig &)> change;
        QString message;
    } cases[] = {
        {[](BoardConfig &c) { c.txtMem[5] = "1\"2,3"; },
         "Command 5 holds a double quote, which a configuration file cannot hold. The file was "
         "not saved."},
        {[](BoardConfig &c) { c.txtCallID = "AB\r\n"; },
         "CW call holds a line break, which a configuration file cannot hold. The file was not "
         "saved."},
        {[](BoardConfig &c) { c.txtPrgComm = QString::fromUtf8("1\u20AC"); },
         QString::fromUtf8("Programming port holds the character \"\u20AC\", which a "
                           "configuration file cannot hold. The file was not saved.")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.prg");
    ASSERT_EQ(saveConfigFile(path, exampleConfig()), std::nullopt);
    for (const auto &c : cases) {
        BoardConfig config = exampleConfig();
        c.change(config);
        EXPECT_EQ(saveConfigFile(path, config), c.message);
        EXPECT_EQ(test::fileBytes(path), exampleFile());
    }
}
