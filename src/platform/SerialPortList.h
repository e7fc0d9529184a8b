#pragma once

#include "PortBinding.h"

#include <QList>
#include <QObject>

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

} // namespace keytoner
