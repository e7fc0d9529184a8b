#include "ConfigSamples.h"
#include "config/ConfigFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

TEST(ConfigFile, ItemsMayBeArrangedOverLinesInAnyWay)
{
    QByteArray oneLine = exampleFile();
    oneLine.replace("\r\n", ",");
    oneLine.chop(1);
    EXPECT_EQ(readConfigFile(oneLine).config, exampleConfig());

    QByteArray unixLines = exampleFile();
    unixLines.replace("\r\n", "\n");
    EXPECT_EQ(readConfigFile(unixLines).config, exampleConfig());

    const ConfigFileRead extra = readConfigFile(exampleFile() + "\"99\",1,\"junk\"\r\n");
    EXPECT_TRUE(extra.complete());
    EXPECT_EQ(extra.config, exampleConfig());
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
    auto withItem = [](int item, const QByteArray &value) {
        QByteArray file = exampleFile();
        file.replace("\r\n", ",");
        QList<QByteArray> items = file.split(',');
        items[item] = value;
        return readConfigFile(items.join(','));
    };
    EXPECT_EQ(withItem(2, "2").itemsRead, 2);
    EXPECT_EQ(withItem(2, "2").failure,
              R"(Item 3 (power-on state of output 3) is "2"; it must be 0 or 1.)");
    EXPECT_EQ(withItem(6, "yes").itemsRead, 6);
    EXPECT_EQ(withItem(6, "yes").failure, R"(Item 7 (CW reply flag) is "yes"; it must be 0 or 1.)");
    EXPECT_EQ(withItem(10, "-1").itemsRead, 10);
    EXPECT_EQ(withItem(10, "").itemsRead, 10);
    EXPECT_TRUE(withItem(10, " 1 ").complete());
    EXPECT_TRUE(withItem(10, "\"0\"").complete());
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

TEST(ConfigFile, SaveAndLoadOnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("no extension");
    ASSERT_EQ(saveConfigFile(path, exampleConfig()), std::nullopt);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), exampleFile());
    EXPECT_EQ(loadConfigFile(path).config, exampleConfig());
}
