#include "ConfigSamples.h"
#include "config/ConfigFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace keytoner;
using keytoner::test::exampleConfig;
using keytoner::test::exampleFile;

TEST(ConfigFile, WritesTheExampleByteForByte)
{
    EXPECT_EQ(writeConfigFile(exampleConfig()), exampleFile());
    EXPECT_EQ(writeConfigFile(exampleConfig()).count("\r\n"), 22);
}

TEST(ConfigFile, ReadsWhatItWrites)
{
    const ConfigFileRead read = readConfigFile(exampleFile());
    EXPECT_TRUE(read.complete());
    EXPECT_EQ(read.failure, "");
    EXPECT_EQ(read.config, exampleConfig());

    BoardConfig odd = exampleConfig();
    odd.txtCallID = QString::fromLatin1("A,\xC8 ;"); // commas, blanks and Latin-1 survive
    odd.txtMem[15] = "12345678901234";               // files hold texts as they stand
    odd.chkOutput = {false, true, false, true};
    const QByteArray bytes = writeConfigFile(odd);
    EXPECT_TRUE(bytes.contains("\"A,\xC8 ;\""));
    EXPECT_EQ(readConfigFile(bytes).config, odd);
}

// Items may be arranged over lines in any way; a hand-made file may leave the quotes out (an
// empty command is then an empty line); what follows the 30 items is not read.
TEST(ConfigFile, OtherLayoutsOfTheSameItems)
{
    auto replaced = [](const char *from, const char *to) {
        return QByteArray(exampleFile()).replace(from, to);
    };
    const QByteArray layouts[] = {replaced("\r\n", ",").chopped(1), replaced("\r\n", "\n"),
                                  replaced("\"", ""), exampleFile() + "\"99\",1,\"junk\"\r\n"};
    for (const QByteArray &bytes : layouts) {
        const ConfigFileRead read = readConfigFile(bytes);
        EXPECT_TRUE(read.complete()) << bytes.toStdString();
        EXPECT_EQ(read.config, exampleConfig()) << bytes.toStdString();
    }
}

TEST(ConfigFile, ShortFileKeepsTheItemsBeforeItsEnd)
{
    const QByteArray fiveLines = exampleFile().left(exampleFile().indexOf("\"11\""));
    const ConfigFileRead read = readConfigFile(fiveLines);
    EXPECT_FALSE(read.complete());
    EXPECT_EQ(read.itemsRead, 13);
    EXPECT_EQ(read.failure, "The file ends before item 14 of 30 (command 0).");
    EXPECT_EQ(read.config.txtBhi, "13.8");
    EXPECT_EQ(read.config.txtMem[0], "");
}

TEST(ConfigFile, FlagItemsMustBeZeroOrOne)
{
    const struct {
        int item;
        QByteArray value;
        int itemsRead;
        QString failure;
    } cases[] = {
        {2, "2", 2, R"(Item 3 (power-on state of output 3) is "2"; it must be 0 or 1.)"},
        {6, "yes", 6, R"(Item 7 (CW reply flag) is "yes"; it must be 0 or 1.)"},
        {10, "-1", 10, {}},
        {10, "", 10, {}},
        {10, " 1 ", ConfigItem::Count, {}},
        {10, "\"0\"", ConfigItem::Count, {}},
    };
    for (const auto &c : cases) {
        QList<QByteArray> items = QByteArray(exampleFile()).replace("\r\n", ",").split(',');
        items[c.item] = c.value;
        const ConfigFileRead read = readConfigFile(items.join(','));
        EXPECT_EQ(read.itemsRead, c.itemsRead) << c.value.toStdString();
        if (!c.failure.isEmpty()) {
            EXPECT_EQ(read.failure, c.failure);
        }
    }
}

TEST(ConfigFile, OverlongTextsAreCutByTheFields)
{
    QByteArray file = exampleFile();
    file.replace("\"11\"", "\"123456789012\"");
    BoardConfig read = readConfigFile(file).config;
    EXPECT_EQ(read.txtMem[0], "123456789012");
    EXPECT_EQ(fittedToFields(read).txtMem[0], "1234567890");

    read.txtCallID = "ABCDEFGH";
    EXPECT_EQ(fittedToFields(read).txtCallID, "ABCDEF");
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
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), exampleFile());
    }
}

// A stray blank line is an item: the reading shifts visibly instead of silently.
TEST(ConfigFile, StrayEmptyLineIsAnItem)
{
    QByteArray stray = exampleFile();
    stray.insert(stray.indexOf("\"11\""), "\r\n");
    const ConfigFileRead shifted = readConfigFile(stray);
    EXPECT_EQ(shifted.config.txtMem[0], "");
    EXPECT_EQ(shifted.config.txtMem[1], "11");
}
