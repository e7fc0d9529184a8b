#include "ProgramFolder.h"

#include "InstalledLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace keytoner {

QString programFolderFor(const QString &applicationDir, const QString &userFolder)
{
    const QFileInfo info(applicationDir);
    if (info.isDir() && info.isWritable() && !isInstalledProgramDir(applicationDir))
        return applicationDir;
    return userFolder;
}

QString chooseProgramFolder(const QString &applicationDir, const QString &userFolder)
{
    const QString folder = programFolderFor(applicationDir, userFolder);
    if (folder == userFolder)
        QDir().mkpath(userFolder);
    return folder;
}

QString userProgramFolder()
{
    // Not AppConfigLocation: that follows the application name, which differs between the
    // window and keytoner-cli.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Keytoner");
}

QString programFolder(UserFolder creation)
{
    const QString own = QCoreApplication::applicationDirPath();
    return creation == UserFolder::Create ? chooseProgramFolder(own, userProgramFolder())
                                          : programFolderFor(own, userProgramFolder());
}

} // namespace keytoner
