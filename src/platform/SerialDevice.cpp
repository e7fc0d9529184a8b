#include "SerialDevice.h"

#include <QDir>
#include <QFileInfo>

namespace keytoner {

QString serialDeviceName(int number, const QString &programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder);
    return QStringLiteral("COM%1").arg(number);
#else
    const QString link = QDir(programFolder).filePath(QStringLiteral("com%1").arg(number));
    const QFileInfo info(link);
    // A dangling link still names the user's choice; opening it then fails with its own message.
    if (!programFolder.isEmpty() && (info.exists() || info.isSymLink()))
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

} // namespace keytoner
