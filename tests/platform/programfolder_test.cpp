#include "platform/ProgramFolder.h"
#include "platform/SerialDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace keytoner;

// The program's own folder when it may write there and is no installed copy; otherwise the
// user's folder, created on the way. Installed is a system folder, or a bin/ beside
// share/keytoner/ as `cmake --install` lays it out; a bin folder alone, or a data folder beside
// another name, is someone's unpacked copy.
TEST(ProgramFolder, OwnFolderOrTheUsersFolder)
{
    QTemporaryDir root;
    for (const char *folder :
         {"prefix/bin", "prefix/share/keytoner", "own/bin", "other/keytoner", "share/keytoner"})
        QDir(root.path()).mkpath(folder);
    const struct {
        QString own;
        bool usesOwn;
    } cases[] = {
        {"/usr/bin", false},
        {"/usr/lib/../bin", false},
        {root.filePath("prefix/bin"), false},
        {root.filePath("no-such-dir"), false},
        {root.filePath("own/bin"), true},
        {root.filePath("other/keytoner"), true},
    };
    int row = 0;
    for (const auto &c : cases) {
        const QString user = root.filePath(QStringLiteral("user-%1/Keytoner").arg(row++));
        EXPECT_EQ(chooseProgramFolder(c.own, user), c.usesOwn ? c.own : user) << row;
        EXPECT_EQ(QFileInfo(user).isDir(), !c.usesOwn) << row;
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
        {3, QString(), "/dev/ttyS2"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serialDeviceName(c.number, c.folder), c.device) << c.number;
}
