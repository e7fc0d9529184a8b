#pragma once

#include "platform/SerialPortList.h"

namespace keytoner::test {

// A port list the test fills; plug() and unplug() announce the change as the system's would.
class FakePortList : public SerialPortList {
    Q_OBJECT
public:
    QList<SerialPortEntry> ports() const override { return ports_; }
    void set(const QList<SerialPortEntry> &ports)
    {
        ports_ = ports;
        emit changed();
    }
    void plug(const SerialPortEntry &port) { set(ports_ + QList<SerialPortEntry>{port}); }
    void unplug(const QString &device)
    {
        QList<SerialPortEntry> left = ports_;
        left.removeIf([&](const SerialPortEntry &port) { return port.device == device; });
        set(left);
    }

private:
    QList<SerialPortEntry> ports_;
};

} // namespace keytoner::test
