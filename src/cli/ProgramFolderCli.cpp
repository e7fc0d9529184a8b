#include "ProgramFolderCli.h"

#include "platform/InstalledLayout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace keytoner::cli {

QString programFolder()
{
    const QString own = QCoreApplication::applicationDirPath();
    const QFileInfo info(own);
    if (info.isDir() && info.isWritable() && !isInstalledProgramDir(own))
        return own;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Keytoner");
}

QString commandLinePath(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace keytoner::cli
