#include "InstalledLayout.h"

#include <QDir>
#include <QFileInfo>

namespace keytoner {

bool isInstalledProgramDir(const QString &applicationDir)
{
    if (applicationDir.isEmpty())
        return false;
    const QString dir = QDir::cleanPath(QFileInfo(applicationDir).absoluteFilePath());
    static const QStringList systemFolders{"/bin",           "/sbin",      "/usr/bin",
                                           "/usr/sbin",      "/usr/games", "/usr/local/bin",
                                           "/usr/local/sbin"};
    if (systemFolders.contains(dir))
        return true;
    // Any other prefix (/opt/keytoner, ~/.local, a staging folder) installs the same layout.
    const QDir folder(dir);
    return folder.dirName() == QLatin1String("bin") &&
           QFileInfo(folder.filePath(QStringLiteral("../share/keytoner"))).isDir();
}

} // namespace keytoner
