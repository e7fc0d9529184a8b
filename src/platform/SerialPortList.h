#pragma once

#include "PortBinding.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QTimer>

namespace keytoner {

// The serial ports the system has now. changed() follows plugging and unplugging.
class SerialPortList : public QObject {
    Q_OBJECT
public:
    ~SerialPortList() override = default;
    virtual QList<SerialPortEntry> ports() const = 0;

signals:
    void changed();
};

// A list that stays empty: where the platform offers no serial ports.
class EmptySerialPortList : public SerialPortList {
public:
    QList<SerialPortEntry> ports() const override { return {}; }
};

// The machine's ports through QSerialPortInfo, with the stable names udev makes in
// `stableNames` (each link there is a port, even one the enumeration does not know, such as a
// virtual board's terminal).
class QtSerialPortList : public SerialPortList {
    Q_OBJECT
public:
    explicit QtSerialPortList(QString stableNames = QStringLiteral("/dev/serial/by-id"));
    QList<SerialPortEntry> ports() const override;

private:
    void watchFolders();
    void recheck();

    QString stableNames_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QList<QString> last_;
};

} // namespace keytoner
