#pragma once

#include <QObject>

#include <memory>

namespace keytoner {

// One serial port. (To be completed with the serial link.)
class SerialPort : public QObject {
    Q_OBJECT
public:
    ~SerialPort() override = default;
};

class SerialPortFactory {
public:
    virtual ~SerialPortFactory() = default;
    virtual std::unique_ptr<SerialPort> create() = 0;
};

} // namespace keytoner
