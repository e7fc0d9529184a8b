#include "ProgramFolder.h"

#include "platform/InstalledLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace keytoner {

QString chooseProgramFolder(const QString &applicationDir, const QString &userFolder)
{
    const QFileInfo info(applicationDir);
    if (info.isDir() && info.isWritable() && !isInstalledProgramDir(applicationDir))
        return applicationDir;
    QDir().mkpath(userFolder);
    return userFolder;
}

QString programFolder()
{
    return chooseProgramFolder(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace keytoner
