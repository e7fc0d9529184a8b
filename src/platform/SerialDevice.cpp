#include "SerialDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace keytoner {

namespace {

QString comPath(const QString &programFolder, int number)
{
    return QDir(programFolder).filePath(QStringLiteral("com%1").arg(number));
}

} // namespace

QString standardSerialDevice(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

bool portsBindByLink()
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

QString serialDeviceName(int number, const QString &programFolder)
{
    if (!portsBindByLink() || programFolder.isEmpty())
        return standardSerialDevice(number);
    const QString link = comPath(programFolder, number);
    const QFileInfo info(link);
    // A dangling link still names the user's choice; opening it then fails with its own message.
    if (info.exists() || info.isSymLink())
        return link;
    return standardSerialDevice(number);
}

QList<ComBinding> readComBindings(const QString &programFolder)
{
    QList<ComBinding> bindings;
    if (!portsBindByLink() || programFolder.isEmpty())
        return bindings;
    for (int number = 1; number <= 16; ++number) {
        const QFileInfo info(comPath(programFolder, number));
        if (!info.isSymLink() && !info.exists())
            continue;
        const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
        bindings.append({number, target, info.canonicalFilePath()});
    }
    return bindings;
}

std::optional<QString> bindComPort(const QString &programFolder, int number, const QString &target)
{
    const QString path = comPath(programFolder, number);
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isSymLink())
        return path + QStringLiteral(" exists and is no link");
    if (!QDir().mkpath(programFolder))
        return QStringLiteral("cannot create the folder ") + programFolder;
    if (existing.isSymLink() && !QFile::remove(path))
        return QStringLiteral("cannot replace ") + path;
    if (!QFile::link(target, path))
        return QStringLiteral("cannot create ") + path;
    return std::nullopt;
}

std::optional<QString> unbindComPort(const QString &programFolder, int number)
{
    const QString path = comPath(programFolder, number);
    const QFileInfo existing(path);
    if (!existing.isSymLink()) {
        if (existing.exists())
            return path + QStringLiteral(" exists and is no link");
        return std::nullopt;
    }
    if (!QFile::remove(path))
        return QStringLiteral("cannot remove ") + path;
    return std::nullopt;
}

} // namespace keytoner
