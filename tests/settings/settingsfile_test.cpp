#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace keytoner;

static const QByteArray GoodLine =
    "\"keep.prg\",15,30,1,\"777\",\"80\",\"3\",\"4\",\"5\",\"6\",\"7\"\r\n";

// The first start's line; a path the line cannot hold is named and nothing is saved.
// The sending fields lose the quotes and line breaks the line cannot hold and read back as
// written, with every printable Latin-1 character, commas and blanks included; positions beyond
// the readable range are written at its limit. A line that is no UTF-8 is Latin-1.
TEST(SettingsFile, WritingTheLine)
{
    SettingsValues values = SettingsFile::defaults("/opt/keytoner");
    EXPECT_EQ(
        SettingsFile::format(values),
        QStringLiteral("\"/opt/keytoner/Default.prg\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\","
                       "\"300\",\"1\",\"1\",\"200\"\r\n"));
    EXPECT_EQ(SettingsFile::unwritable(values), std::nullopt);
    values.configFile = "/media/op/\"club\".prg";
    EXPECT_EQ(SettingsFile::unwritable(values),
              "The path of the configuration file, /media/op/\"club\".prg, holds a double "
              "quote, which Keytoner2.ini cannot hold; the settings were not saved.");
    QString latin1;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c != '"' && (c < 0x7F || c >= 0xA0))
            latin1 += QChar(c);
    values.configFile = latin1;
    values.left = 40000;
    values.top = -40000;
    values.sequence = QStringLiteral("1\"2\r\n, 3");
    values.gapMs = latin1 + QStringLiteral("\"\n");
    values.txDelayMs = QStringLiteral("\"\"");
    SettingsValues written = SettingsFile::writable(values);
    EXPECT_EQ(written.configFile, latin1);
    EXPECT_EQ(written.sequence, "12, 3");
    EXPECT_EQ(written.gapMs, latin1);
    EXPECT_EQ(written.txDelayMs, "");
    const SettingsRead read = SettingsFile::parse(
        SettingsFile::decode(SettingsFile::encode(SettingsFile::format(written))));
    ASSERT_FALSE(read.failedField.has_value());
    written.left = 32767;
    written.top = -32768;
    EXPECT_EQ(read.values, written);
    EXPECT_EQ(SettingsFile::decode("\"citt\xE0\""), QStringLiteral("\"citt\u00E0\""));
    EXPECT_EQ(SettingsFile::decode("\xEF\xBB\xBF\"a\""), QStringLiteral("\"a\""));
}

// A position rounds halves to even and reads blank as 0; one that does not fit a 16-bit number
// stops the reading at its field, keeping the fields before it.
TEST(SettingsFile, PositionNumbers)
{
    const struct {
        const char *text;
        std::optional<int> left;
    } cases[] = {{"1200.5", 1200}, {" 1201.5 ", 1202}, {"-32768.5", -32768}, {"32767.4", 32767},
                 {" ", 0},         {"32767.5", {}},    {"-32769", {}},       {"12abc", {}}};
    for (const auto &c : cases) {
        const SettingsRead read = SettingsFile::parse(
            QStringLiteral("\"keep.prg\",%1,0,0,\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"")
                .arg(QLatin1String(c.text)));
        EXPECT_EQ(std::tuple(read.failedField, read.values.left, read.values.sequence.isEmpty()),
                  std::tuple(c.left ? std::nullopt : std::optional(2), c.left.value_or(0), !c.left))
            << c.text;
    }
}

// Whatever the file holds, loading keeps the fields read before the first it could not read
// and asks for the default line to be written; a file it cannot open gives the first start's
// values. Only the first MiB of a huge file is read.
TEST(SettingsFileFaults, LoadingWhatIsFound)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(SettingsFile::fileName());
    const SettingsValues first =
        SettingsFile::parse(SettingsFile::format(SettingsFile::defaults(folder.path()))).values;
    QByteArray binary;
    for (int b = 0; b < 256; ++b)
        binary += char(b); // a line end after byte 9, then a position that is no number
    const std::pair<QByteArray, bool> cases[] = {{GoodLine, false},
                                                 {GoodLine + QByteArray(16 << 20, 'z'), false},
                                                 {QByteArray(16 << 20, '9'), true},
                                                 {binary, true}};
    for (const auto &[content, rewrite] : cases) {
        ASSERT_TRUE(test::writeFile(path, content));
        const SettingsLoad load = SettingsFile::load(path, folder.path());
        EXPECT_EQ(load.writeDefaults, rewrite) << content.left(20).toStdString();
        EXPECT_EQ(load.values.tab, rewrite ? 0 : 1) << content.left(20).toStdString();
        EXPECT_LE(load.values.configFile.size(), 1 << 20);
    }
    // Empty, and cut after every field: the fields before the cut are the line's own.
    const SettingsValues whole = SettingsFile::parse(GoodLine).values;
    for (qsizetype cut = 0; cut >= 0; cut = GoodLine.indexOf(',', cut + 1)) {
        ASSERT_TRUE(test::writeFile(path, GoodLine.left(cut)));
        const SettingsLoad load = SettingsFile::load(path, folder.path());
        EXPECT_TRUE(load.writeDefaults) << cut;
        EXPECT_EQ(load.values.configFile, cut > 0 ? whole.configFile : "") << cut;
        EXPECT_EQ(load.values.top, GoodLine.left(cut).count(',') >= 2 ? whole.top : 0) << cut;
    }

    ::chmod(QFile::encodeName(path).constData(), 0000);
    ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
    EXPECT_EQ(test::asNobody([&] {
                  const SettingsLoad load = SettingsFile::load(path, folder.path());
                  return load.writeDefaults && load.values == first ? 0 : 1;
              }),
              0);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    const SettingsLoad directory = SettingsFile::load(path, folder.path());
    EXPECT_TRUE(directory.writeDefaults && directory.values == first);
}

// A disk that fills up before the new line's last byte: the old line stays, nothing beside it.
TEST(SettingsFileFaults, FailedSaveKeepsTheOldLine)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(SettingsFile::fileName());
    ASSERT_TRUE(test::writeFile(path, GoodLine));
    const QString line = SettingsFile::format(SettingsFile::defaults("/opt"));
    const rlim_t limit = rlim_t(SettingsFile::encode(line).size() - 1);
    const int status = test::inChild(
        [limit] {
            std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
            const rlimit fileSize{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
        },
        [&] { return SettingsFile::save(path, line) ? 1 : 0; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(test::fileBytes(path), GoodLine);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    EXPECT_FALSE(SettingsFile::save(path, line));
    EXPECT_TRUE(QFileInfo(path).isDir());
}
