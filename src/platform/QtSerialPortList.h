#pragma once

#include "SerialPortList.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QTimer>

namespace keytoner {

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
