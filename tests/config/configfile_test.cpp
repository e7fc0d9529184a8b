#include "ConfigSamples.h"
#include "config/ConfigFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <random>
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

namespace {

// Every printable Latin-1 character, with quotes, commas and blanks over-represented.
QString printableLatin1()
{
    QString chars = QStringLiteral("\"\",,,   ");
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c < 0x7F || c >= 0xA0)
            chars += QChar(c);
    return chars;
}

QList<QString *> textsOf(BoardConfig &c)
{
    QList<QString *> texts{&c.txtSeqCmd, &c.txtCrcTag, &c.txtCallID, &c.txtMorseSpeed,
                           &c.txtTmr2,   &c.txtBlo,    &c.txtBhi,    &c.txtPrgComm};
    for (QString &command : c.txtMem)
        texts << &command;
    return texts;
}

} // namespace

// Whatever the fields hold, a saved file loads back to the same fields, or the save is refused.
// The refused rounds carry exactly one character the format cannot hold.
TEST(ConfigFile, EverySavedFileReadsBackOrTheSaveIsRefused)
{
    std::mt19937 random(1212);
    const QString chars = printableLatin1();
    const QString unwritable = QStringLiteral("\"\r\n\u20AC");
    for (int round = 0; round < 2000; ++round) {
        BoardConfig config;
        QList<QString *> texts = textsOf(config);
        for (QString *text : texts) {
            const int length = int(random() % 4 == 0 ? 0 : random() % 12);
            for (int k = 0; k < length; ++k)
                *text += chars[int(random() % chars.size())];
        }
        for (bool &output : config.chkOutput)
            output = random() % 2;
        config.chkMorse = random() % 2;
        // The quotes in the alphabet sit inside other characters; a file cannot hold them.
        const bool holdsQuote =
            std::any_of(texts.begin(), texts.end(), [](QString *t) { return t->contains('"'); });
        const bool addBreak = round % 3 == 0;
        if (addBreak)
            texts[int(random() % texts.size())]->append(
                unwritable[1 + int(random() % (unwritable.size() - 1))]);

        const auto refusal = unwritableConfigText(config);
        ASSERT_EQ(refusal.has_value(), holdsQuote || addBreak) << round;
        if (!refusal) {
            ASSERT_EQ(readConfigFile(writeConfigFile(config)).config, config) << round;
        }
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
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), exampleFile());
    }
}

// A hand-made file: commands as bare lines, an empty command as an empty line.
TEST(ConfigFile, EmptyLinesAreEmptyItems)
{
    QByteArray file = exampleFile();
    file.replace("\"", "");
    const ConfigFileRead read = readConfigFile(file);
    ASSERT_TRUE(read.complete()) << read.failure.toStdString();
    EXPECT_EQ(read.config, exampleConfig());

    // A stray blank line is an item: the reading shifts visibly instead of silently.
    QByteArray stray = exampleFile();
    stray.insert(stray.indexOf("\"11\""), "\r\n");
    const ConfigFileRead shifted = readConfigFile(stray);
    EXPECT_EQ(shifted.config.txtMem[0], "");
    EXPECT_EQ(shifted.config.txtMem[1], "11");
}
