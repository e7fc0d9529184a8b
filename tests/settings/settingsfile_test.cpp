#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

using namespace keytoner;

namespace {

SettingsValues sample()
{
    SettingsValues values;
    values.configFile = "/home/op/boards/club, north.prg";
    values.left = -1200;
    values.top = 32767;
    values.tab = 1;
    values.sequence = "123#9 A0*";
    values.digitMs = "70";
    values.gapMs = "";
    values.pauseMs = "300";
    values.pttPort = "3";
    values.programPort = "16";
    values.txDelayMs = "250";
    return values;
}

} // namespace

TEST(SettingsFile, DefaultLineIsTheDocumentedOne)
{
    const SettingsValues values = SettingsFile::defaults("/opt/keytoner");
    EXPECT_EQ(
        SettingsFile::format(values),
        QStringLiteral("\"/opt/keytoner/Default.prg\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\","
                       "\"300\",\"1\",\"1\",\"200\"\r\n"));
}

TEST(SettingsFile, PositionsBeyondTheReadableRangeAreWrittenAtItsLimit)
{
    SettingsValues values = sample();
    values.left = 40000;
    values.top = -40000;
    const SettingsRead read = SettingsFile::parse(SettingsFile::format(values));
    EXPECT_FALSE(read.failedField.has_value());
    EXPECT_EQ(read.values.left, 32767);
    EXPECT_EQ(read.values.top, -32768);
    EXPECT_EQ(read.values.sequence, sample().sequence);
}

TEST(SettingsFile, ReadsBlanksAroundNumbersAndLinesSplitBetweenItems)
{
    const SettingsRead read = SettingsFile::parse(
        "\"x.prg\", 1200 \r\n  -45 ,1,\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"");
    ASSERT_FALSE(read.failedField.has_value());
    EXPECT_EQ(read.values.left, 1200);
    EXPECT_EQ(read.values.top, -45);
    EXPECT_EQ(read.values.tab, 1);
    EXPECT_EQ(read.values.txDelayMs, "7");
}

TEST(SettingsFile, ShortFileKeepsTheFieldsReadAndLeavesTheRestEmpty)
{
    const SettingsRead read = SettingsFile::parse("\"a.prg\",15,30,1,\"777\",\"80\"\r\n");
    EXPECT_EQ(read.failedField, 7);
    EXPECT_EQ(read.values.configFile, "a.prg");
    EXPECT_EQ(read.values.top, 30);
    EXPECT_EQ(read.values.digitMs, "80");
    EXPECT_TRUE(read.values.gapMs.isEmpty());
    EXPECT_TRUE(read.values.txDelayMs.isEmpty());

    EXPECT_EQ(SettingsFile::parse("").failedField, 1);
}

// A position rounds halves to even; one that does not fit a 16-bit number stops the reading at
// its field, keeping the fields before it.
TEST(SettingsFile, PositionNumbers)
{
    const struct {
        const char *text;
        int left; // -1: refused
    } cases[] = {{"1200.5", 1200}, {"1201.5", 1202}, {"-0.5", 0}, {"32767.4", 32767}, {"32768", -1},
                 {"-32769", -1},   {"32767.5", -1},  {"1e9", -1}, {"12abc", -1},      {"left", -1}};
    for (const auto &c : cases) {
        const SettingsRead read =
            SettingsFile::parse(QStringLiteral("\"keep.prg\",%1,0,0,\"1\","
                                               "\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"")
                                    .arg(QLatin1String(c.text)));
        EXPECT_EQ(read.failedField, c.left < 0 ? std::optional<int>(2) : std::nullopt) << c.text;
        EXPECT_EQ(read.values.configFile, "keep.prg") << c.text;
        EXPECT_EQ(read.values.left, std::max(c.left, 0)) << c.text;
        EXPECT_EQ(read.values.sequence.isEmpty(), c.left < 0) << c.text;
    }
    const SettingsRead badTab =
        SettingsFile::parse("\"\",5,6,x,\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"");
    EXPECT_EQ(badTab.failedField, 4);
    EXPECT_EQ(badTab.values.top, 6);
}

TEST(SettingsFile, PathsKeepTheirLettersInEitherEncoding)
{
    const QString path = QStringLiteral("/home/op/citt\u00E0/b\u00F6rd.prg");
    SettingsValues values = sample();
    values.configFile = path;
    EXPECT_EQ(SettingsFile::parse(
                  SettingsFile::decode(SettingsFile::encode(SettingsFile::format(values))))
                  .values.configFile,
              path);
    const QByteArray latin1 =
        "\"" + path.toLatin1() + "\",0,0,0,\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"";
    EXPECT_EQ(SettingsFile::parse(SettingsFile::decode(latin1)).values.configFile, path);
    EXPECT_EQ(SettingsFile::decode("\xEF\xBB\xBF\"a\""), QStringLiteral("\"a\""));
}

// The sending fields lose the quotes and line breaks the line cannot hold and read back as
// written, with every printable Latin-1 character, commas and blanks included.
TEST(SettingsFile, WhatIsWrittenReadsBack)
{
    QString latin1;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c != '"' && (c < 0x7F || c >= 0xA0))
            latin1 += QChar(c);
    SettingsValues values = sample();
    values.configFile = latin1;
    values.sequence = QStringLiteral("1\"2\r\n, 3");
    values.gapMs = latin1 + QStringLiteral("\"\n");
    values.txDelayMs = QStringLiteral("\"\"");
    const SettingsValues written = SettingsFile::writable(values);
    EXPECT_EQ(written.configFile, latin1);
    EXPECT_EQ(written.sequence, "12, 3");
    EXPECT_EQ(written.gapMs, latin1);
    EXPECT_EQ(written.txDelayMs, "");
    const SettingsRead read = SettingsFile::parse(
        SettingsFile::decode(SettingsFile::encode(SettingsFile::format(written))));
    ASSERT_FALSE(read.failedField.has_value());
    EXPECT_EQ(read.values, written);
}

TEST(SettingsFile, PathThatCannotBeWrittenIsNamed)
{
    SettingsValues values = sample();
    values.configFile = "/media/op/\"club\".prg";
    EXPECT_EQ(SettingsFile::unwritable(values),
              "The path of the configuration file, /media/op/\"club\".prg, holds a double "
              "quote, which Keytoner2.ini cannot hold; the settings were not saved.");
    EXPECT_EQ(SettingsFile::unwritable(sample()), std::nullopt);
}
