// Configuration files: the layout the board's software writes, other layouts, and files as they
// may be found on a user's disk: cut off anywhere, huge, unreadable, a directory; saves that
// cannot finish. Reading says why it stopped; a failed save leaves the old file as it was.
// Random bytes are the fuzz target's.
#include "ConfigSamples.h"
#include "config/ConfigFile.h"
#include "support/ChildProcess.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

void setMode(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

} // namespace

// Reading stops at a flag item other than 0 or 1 (binary bytes included), or where the file
// ends, and says which item. Cut at every byte, the items before the cut are the file's own and
// only a cut inside the last item (a quote left open runs to the end) is complete.
TEST(ConfigFileFaults, WhereTheReadingStops)
{
    const QByteArray whole = exampleFile();
    const qsizetype lastItemStart = whole.lastIndexOf('"', whole.size() - 4);
    int previous = 0;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const ConfigFileRead read = readConfigFile(whole.left(cut));
        EXPECT_GE(read.itemsRead, previous) << cut;
        previous = read.itemsRead;
        EXPECT_EQ(read.complete(), read.failure.isEmpty()) << cut;
        EXPECT_EQ(read.complete(), cut > lastItemStart) << cut;
        for (int item = 0; item + 1 < read.itemsRead && item < ConfigItem::ModifierId; ++item)
            EXPECT_EQ(read.config.chkOutput[item], exampleConfig().chkOutput[item]) << cut;
        if (read.itemsRead > ConfigItem::FirstCommand + 1) {
            EXPECT_EQ(read.config.txtCallID, "TEST") << cut;
        }
    }
    EXPECT_EQ(previous, ConfigItem::Count);
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
        EXPECT_EQ(std::pair(read.itemsRead, read.failure), std::pair(c.itemsRead, c.failure))
            << c.bytes.toStdString();
    }
    QByteArray binary;
    for (int b = 0; b < 256; ++b)
        binary += char(b); // the first item: bytes 0 to 8
    EXPECT_EQ(readConfigFile(binary).itemsRead, 0);
}

// A huge file is read no further than its first MiB: a quote left open in command 0 holds the
// rest of the file. A folder, a missing file and one the user may not read give no items and a
// reason.
TEST(ConfigFileFaults, LoadingWhatIsFound)
{
    QTemporaryDir folder;
    const QString huge = folder.filePath("huge.prg");
    const QByteArray head = exampleFile().left(exampleFile().indexOf("\"11\"") + 1);
    ASSERT_TRUE(writeFile(huge, head + QByteArray(16 << 20, '1')));
    const ConfigFileRead read = loadConfigFile(huge);
    EXPECT_EQ(read.itemsRead, ConfigItem::FirstCommand + 1);
    EXPECT_EQ(read.config.txtMem[0].size(), (1 << 20) - head.size());

    const QString secret = folder.filePath("secret.prg");
    ASSERT_FALSE(saveConfigFile(secret, exampleConfig()));
    setMode(folder.path(), 0755);
    setMode(secret, 0000);
    for (const QString &path : {folder.path(), folder.filePath("missing.prg"), secret}) {
        const int status = inChild(becomeNobody, [&] {
            const ConfigFileRead loaded = loadConfigFile(path);
            return loaded.itemsRead == 0 && !loaded.failure.isEmpty() ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << path.toStdString();
    }
}

// A save that cannot finish (a closed folder, a disk full before the new file's last byte, a
// text the file cannot hold, a directory in the file's place) says so, leaves the old file as it
// was and nothing beside it.
TEST(ConfigFileFaults, FailedSaveKeepsTheOldFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Default.prg");
    ASSERT_FALSE(saveConfigFile(path, exampleConfig()));
    BoardConfig other = exampleConfig();
    other.txtCallID = QStringLiteral("IZ1NEW");
    const auto newSize = rlim_t(writeConfigFile(other).size());
    const std::function<void()> faults[] = {
        [&] {
            setMode(path, 0666); // even a writable file cannot be replaced in a closed folder
            setMode(folder.path(), 0555);
            becomeNobody();
        },
        [&] {
            std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
            const rlimit fileSize{newSize - 1, newSize - 1};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
        },
    };
    for (const auto &fault : faults) {
        EXPECT_EQ(
            inChild(fault, [&] { return saveConfigFile(path, other).value_or("").isEmpty(); }), 0);
        setMode(folder.path(), 0755);
        EXPECT_EQ(fileBytes(path), exampleFile());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    // Texts a file cannot hold: the save is refused, naming the field.
    const std::pair<std::function<void(BoardConfig &)>, QString> refused[] = {
        {[](BoardConfig &c) { c.txtMem[5] = "1\"2,3"; }, "Command 5 holds a double quote"},
        {[](BoardConfig &c) { c.txtCallID = "AB\r\n"; }, "CW call holds a line break"},
        {[](BoardConfig &c) { c.txtPrgComm = QString::fromUtf8("1\u20AC"); },
         QString::fromUtf8("Programming port holds the character \"\u20AC\"")},
    };
    for (const auto &[change, field] : refused) {
        BoardConfig config = exampleConfig();
        change(config);
        EXPECT_EQ(saveConfigFile(path, config),
                  field + ", which a configuration file cannot hold. The file was not saved.");
        EXPECT_EQ(fileBytes(path), exampleFile());
    }
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    EXPECT_TRUE(saveConfigFile(path, exampleConfig()).has_value());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// Items may be arranged over lines in any way; a hand-made file may leave the quotes out (an
// empty command is then an empty line, which is an item); what follows the 30 items is not read.
// The program writes the example byte for byte. Commas, blanks and Latin-1 survive; a file holds
// texts as they stand, and the fields cut them.
TEST(ConfigFile, ReadsWhatItWritesInAnyLayout)
{
    EXPECT_EQ(writeConfigFile(exampleConfig()), exampleFile());
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
