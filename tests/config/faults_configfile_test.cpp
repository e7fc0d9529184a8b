// Configuration files as they may be found on a user's disk: empty, cut off anywhere, far too
// long, binary, unreadable, a directory; and saves that cannot finish. Reading never crashes and
// says why it stopped; a failed save leaves the old file exactly as it was.
//
// Tests run as root, which ignores file permissions. Unreadable files and read-only folders
// are therefore tried in a forked child that has dropped to the unprivileged user "nobody";
// a write that fails half way is a child whose file size limit (RLIMIT_FSIZE) stops it.
#include "ConfigSamples.h"
#include "config/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace keytoner;
using keytoner::test::exampleConfig;
using keytoner::test::exampleFile;

namespace {

// Runs `body` in a forked child and returns its exit status (0: every check held; 99: the
// privileges could not be dropped; 97: an exception, such as memory running out). `body` returns
// the status.
int inChild(const std::function<void()> &prepare, const std::function<int()> &body)
{
    std::fflush(nullptr); // or the child repeats what the parent has not written yet
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Nothing may leave the child but its status: an exception would run the rest of the
        // tests in it.
        int status = 98;
        try {
            prepare();
            status = body();
        } catch (...) {
            status = 97;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Drops to "nobody", so that the file permissions apply as they do for a user.
void becomeNobody()
{
    if (::geteuid() != 0)
        return;
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
        ::setuid(nobody->pw_uid) != 0)
        ::_exit(99);
}

// A folder "nobody" may enter and read.
void openToEveryone(const QString &path, mode_t mode = 0755)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

BoardConfig otherConfig()
{
    BoardConfig config = exampleConfig();
    config.txtCallID = QStringLiteral("IZ1NEW");
    config.txtMem[7] = QStringLiteral("7777");
    return config;
}

} // namespace

TEST(ConfigFileFaults, EmptyFileReadsNoItem)
{
    for (const QByteArray &empty : {QByteArray(), QByteArray("\r\n\r\n  \t\n"), QByteArray(",")}) {
        const ConfigFileRead read = readConfigFile(empty);
        EXPECT_FALSE(read.complete());
        EXPECT_LE(read.itemsRead, 1);
        EXPECT_FALSE(read.failure.isEmpty());
    }
}

// Cut at every byte: the items before the cut are the file's own, the reading says where it
// stopped, and only the whole file (or the whole file less its last line end) is complete.
TEST(ConfigFileFaults, TruncatedAnywhere)
{
    const QByteArray whole = exampleFile();
    const ConfigFileRead full = readConfigFile(whole);
    ASSERT_TRUE(full.complete());
    const qsizetype lastItemStart = whole.lastIndexOf('"', whole.size() - 4);
    int previous = 0;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const ConfigFileRead read = readConfigFile(whole.left(cut));
        EXPECT_GE(read.itemsRead, previous) << cut;
        previous = read.itemsRead;
        EXPECT_EQ(read.complete(), read.failure.isEmpty()) << cut;
        // A quote left open runs to the end of the file, so a cut inside the last item still
        // reads it, shortened; a cut before it cannot.
        if (read.complete()) {
            EXPECT_GT(cut, lastItemStart) << cut;
        }
        // Items before the last one read are exactly the file's.
        for (int item = 0; item + 1 < read.itemsRead && item < ConfigItem::ModifierId; ++item) {
            EXPECT_EQ(read.config.chkOutput[item], full.config.chkOutput[item]) << cut;
        }
        if (read.itemsRead > ConfigItem::FirstCommand + 1) {
            EXPECT_EQ(read.config.txtCallID, full.config.txtCallID) << cut;
        }
    }
    EXPECT_EQ(previous, ConfigItem::Count);
}

TEST(ConfigFileFaults, FarTooLong)
{
    // The 30 items, then 64 MiB that nobody wrote: the items are what counts.
    const QByteArray tail(64 << 20, 'x');
    const ConfigFileRead padded = readConfigFile(exampleFile() + tail);
    EXPECT_TRUE(padded.complete());
    EXPECT_EQ(padded.config, exampleConfig());

    // One item that never ends: the rest of the file is that item.
    const ConfigFileRead open = readConfigFile("1\r\n0\r\n1\r\n0\r\n\"" + tail);
    EXPECT_FALSE(open.complete());
    EXPECT_EQ(open.itemsRead, ConfigItem::ModifierId + 1);
    EXPECT_EQ(open.config.txtSeqCmd.size(), tail.size());
}

// A huge file on disk (here a sparse one of 4 GiB) named as the configuration: it is read no
// further than a configuration file could reach, in a child whose memory is limited so that a
// reader that takes it all fails instead of exhausting the machine. Address-space limits and
// AddressSanitizer's shadow memory do not mix, so the sanitizer build skips it.
TEST(ConfigFileFaults, HugeFileOnDiskIsNotReadWhole)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address-space limit under AddressSanitizer";
#endif
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("huge.prg");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(exampleFile()), exampleFile().size());
        ASSERT_TRUE(file.resize(qint64(4) << 30));
    }
    const int status = inChild(
        [] {
            const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
            ::setrlimit(RLIMIT_AS, &memory);
        },
        [&] {
            const ConfigFileRead read = loadConfigFile(path);
            return read.complete() && read.config == exampleConfig() ? 0 : 1;
        });
    EXPECT_EQ(status, 0);
}

TEST(ConfigFileFaults, BinaryBytes)
{
    std::mt19937 random(2024);
    for (int file = 0; file < 2000; ++file) {
        QByteArray bytes(int(random() % 4096), Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random());
        const ConfigFileRead read = readConfigFile(bytes);
        EXPECT_EQ(read.complete(), read.failure.isEmpty());
    }
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += char(b);
    EXPECT_FALSE(readConfigFile(everyByte).complete());
}

TEST(ConfigFileFaults, PathsThatAreNoReadableFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const ConfigFileRead directory = loadConfigFile(folder.path());
    EXPECT_EQ(directory.itemsRead, 0);
    EXPECT_FALSE(directory.failure.isEmpty());

    const ConfigFileRead missing = loadConfigFile(folder.filePath("missing.prg"));
    EXPECT_EQ(missing.itemsRead, 0);
    EXPECT_FALSE(missing.failure.isEmpty());

    const QString path = folder.filePath("secret.prg");
    ASSERT_FALSE(saveConfigFile(path, exampleConfig()));
    openToEveryone(folder.path());
    openToEveryone(path, 0000);
    const int status = inChild(becomeNobody, [&] {
        const ConfigFileRead read = loadConfigFile(path);
        return read.itemsRead == 0 && !read.failure.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

TEST(ConfigFileFaults, SaveIntoAReadOnlyFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("Default.prg");
    ASSERT_FALSE(saveConfigFile(path, exampleConfig()));
    openToEveryone(path, 0666); // even a writable file cannot be replaced in a closed folder
    openToEveryone(folder.path(), 0555);
    const int status = inChild(becomeNobody, [&] {
        const auto failure = saveConfigFile(path, otherConfig());
        return failure && !failure->isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fileBytes(path), exampleFile());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(ConfigFileFaults, SaveOntoADirectory)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("Default.prg");
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_TRUE(saveConfigFile(path, exampleConfig()).has_value());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// The disk fills up (here: the file size limit stops the write) after part of the new file:
// the save reports it, the old file is untouched and no partial file is left behind.
TEST(ConfigFileFaults, SaveThatFailsHalfWay)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("Default.prg");
    ASSERT_FALSE(saveConfigFile(path, exampleConfig()));
    const QByteArray newFile = writeConfigFile(otherConfig());
    for (const rlim_t limit :
         {rlim_t(0), rlim_t(1), rlim_t(newFile.size() / 2), rlim_t(newFile.size() - 1)}) {
        const int status = inChild(
            [limit] {
                std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
                const rlimit fileSize{limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &fileSize);
            },
            [&] {
                const auto failure = saveConfigFile(path, otherConfig());
                return failure && !failure->isEmpty() ? 0 : 1;
            });
        EXPECT_EQ(status, 0) << limit;
        EXPECT_EQ(fileBytes(path), exampleFile()) << limit;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << limit;
    }
    // With room again the same save goes through.
    EXPECT_FALSE(saveConfigFile(path, otherConfig()));
    EXPECT_EQ(fileBytes(path), newFile);
}
