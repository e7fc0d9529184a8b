#include "QtSerialPortList.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

namespace keytoner {

namespace {

// udev names its links "usb-<maker>_<model>_<serial>-if<NN>[-port<N>]"; without a better
// description the middle part reads well enough.
QString descriptionFromStableName(const QString &name)
{
    QString text = name;
    text.remove(QRegularExpression(QStringLiteral("^[a-z]+-")));
    text.remove(QRegularExpression(QStringLiteral("-if[0-9]+(-port[0-9]+)?$")));
    return text.replace(u'_', u' ');
}

QString fingerprint(const SerialPortEntry &port)
{
    return port.device + u'|' + port.stableName + u'|' + port.serialNumber;
}

} // namespace

QtSerialPortList::QtSerialPortList(QString stableNames) : stableNames_(std::move(stableNames))
{
    // udev makes the stable links a moment after the device node: look once things settle.
    settle_.setSingleShot(true);
    settle_.setInterval(300);
    connect(&settle_, &QTimer::timeout, this, &QtSerialPortList::recheck);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
    watchFolders();
    for (const SerialPortEntry &port : ports())
        last_.append(fingerprint(port));
}

void QtSerialPortList::watchFolders()
{
    // The stable folder and its parent come and go with the first and last adapter.
    const QStringList folders{QStringLiteral("/dev"), QFileInfo(stableNames_).path(), stableNames_};
    for (const QString &folder : folders)
        if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
            watcher_.addPath(folder);
}

void QtSerialPortList::recheck()
{
    watchFolders();
    QList<QString> now;
    for (const SerialPortEntry &port : ports())
        now.append(fingerprint(port));
    if (now == last_)
        return;
    last_ = now;
    emit changed();
}

QList<SerialPortEntry> QtSerialPortList::ports() const
{
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry port;
        port.device = info.systemLocation();
        port.name = info.portName();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.append(port);
    }
    const QDir stable(stableNames_);
    for (const QFileInfo &link : stable.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        const QString node = link.canonicalFilePath();
        if (node.isEmpty())
            continue;
        auto known = std::find_if(ports.begin(), ports.end(),
                                  [&](const SerialPortEntry &port) { return port.device == node; });
        if (known == ports.end()) {
            SerialPortEntry port;
            port.device = node;
            port.name = QFileInfo(node).fileName();
            port.description = descriptionFromStableName(link.fileName());
            known = ports.insert(ports.end(), port);
        }
        if (known->stableName.isEmpty())
            known->stableName = link.absoluteFilePath();
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry &a, const SerialPortEntry &b) {
        return a.device < b.device;
    });
    return ports;
}

} // namespace keytoner
