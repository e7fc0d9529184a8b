#include "platform/InstalledLayout.h"
#include "platform/ProgramFolder.h"
#include "platform/SerialDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace keytoner;

// Installed: a system folder, or a bin/ beside share/keytoner/ as `cmake --install` lays it out.
// A bin folder alone is someone's unpacked copy; so is a data folder beside another name.
TEST(InstalledLayout, InstalledOrOwnCopy)
{
    QTemporaryDir root;
    for (const char *folder :
         {"prefix/bin", "prefix/share/keytoner", "own/bin", "other/keytoner", "share/keytoner"})
        QDir(root.path()).mkpath(folder);
    const struct {
        QString dir;
        bool installed;
    } cases[] = {
        {"/usr/bin", true},
        {"/usr/lib/../bin", true},
        {root.filePath("prefix/bin"), true},
        {QString(), false},
        {root.filePath("own/bin"), false},
        {root.filePath("other/keytoner"), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isInstalledProgramDir(c.dir), c.installed) << c.dir.toStdString();
}

// The program's own folder when it may write there and is no installed copy; otherwise the
// user's folder, created on the way.
TEST(ProgramFolder, OwnFolderOrTheUsersFolder)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath("prefix/share/keytoner");
    QDir(root.path()).mkpath("prefix/bin");
    QDir(root.path()).mkpath("unpacked");
    const struct {
        const char *own;
        bool usesOwn;
    } cases[] = {{"unpacked", true}, {"prefix/bin", false}, {"no-such-dir", false}};
    for (const auto &c : cases) {
        const QString user = root.filePath(QStringLiteral("user-%1/Keytoner").arg(c.usesOwn));
        const QString own = root.filePath(c.own);
        EXPECT_EQ(chooseProgramFolder(own, user), c.usesOwn ? own : user) << c.own;
        EXPECT_EQ(QFileInfo(user).isDir(), !c.usesOwn) << c.own;
    }
}

// A comN entry in the program folder (a link, dangling or not) names port N;
// without one, port N is /dev/ttyS(N-1). Port 13 is not com3.
TEST(SerialDeviceTest, ComEntryOrStandardPort)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("com3")));
    ASSERT_TRUE(QFile::link("/dev/ttyUSB-that-is-unplugged", dir.filePath("com4")));
    const struct {
        int number;
        QString folder;
        QString device;
    } cases[] = {
        {3, folder.path(), dir.filePath("com3")},
        {4, folder.path(), dir.filePath("com4")},
        {13, folder.path(), "/dev/ttyS12"},
        {1, folder.path(), "/dev/ttyS0"},
        {3, QString(), "/dev/ttyS2"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serialDeviceName(c.number, c.folder), c.device) << c.number;
}
