#include "platform/InstalledLayout.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using keytoner::chooseProgramFolder;
using keytoner::isInstalledProgramDir;

namespace {

// A prefix laid out as `cmake --install` lays it out: bin/ beside share/keytoner/.
QString makeInstalledPrefix(const QTemporaryDir &root)
{
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QDir(root.path()).mkpath(QStringLiteral("share/keytoner"));
    return root.path() + QStringLiteral("/bin");
}

} // namespace

TEST(InstalledLayout, SystemProgramFoldersAreInstalled)
{
    EXPECT_TRUE(isInstalledProgramDir(QStringLiteral("/usr/bin")));
    EXPECT_TRUE(isInstalledProgramDir(QStringLiteral("/usr/local/bin/")));
    EXPECT_TRUE(isInstalledProgramDir(QStringLiteral("/usr/lib/../bin")));
}

TEST(InstalledLayout, BinFolderBesideTheDataFolderIsInstalled)
{
    QTemporaryDir root;
    EXPECT_TRUE(isInstalledProgramDir(makeInstalledPrefix(root)));
}

TEST(InstalledLayout, OwnFoldersAreNot)
{
    QTemporaryDir root;
    EXPECT_FALSE(isInstalledProgramDir(QString()));
    EXPECT_FALSE(isInstalledProgramDir(root.path()));
    // A bin folder alone is someone's unpacked copy; so is a data folder beside another name.
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    EXPECT_FALSE(isInstalledProgramDir(root.path() + QStringLiteral("/bin")));
    QDir(root.path()).mkpath(QStringLiteral("keytoner/../share/keytoner"));
    QDir(root.path()).mkpath(QStringLiteral("keytoner"));
    EXPECT_FALSE(isInstalledProgramDir(root.path() + QStringLiteral("/keytoner")));
}

TEST(ProgramFolder, WritableInstalledCopyStillUsesTheUserFolder)
{
    QTemporaryDir root;
    const QString bin = makeInstalledPrefix(root);
    ASSERT_TRUE(QFileInfo(bin).isWritable());
    const QString userFolder = root.path() + QStringLiteral("/home/.config/Keytoner");
    EXPECT_EQ(chooseProgramFolder(bin, userFolder), userFolder);
    EXPECT_TRUE(QFileInfo(userFolder).isDir());
}
