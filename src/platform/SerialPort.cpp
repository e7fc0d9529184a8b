#include "SerialPort.h"

#include "SerialPortList.h"

namespace keytoner {

QByteArray SerialPort::readAll()
{
    QByteArray bytes = readWaiting();
    if (discardNull_)
        bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

SerialPortList &SerialPortFactory::portList()
{
    static EmptySerialPortList none;
    return none;
}

} // namespace keytoner
