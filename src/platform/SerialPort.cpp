#include "SerialPort.h"

namespace keytoner {

QByteArray SerialPort::readAll()
{
    QByteArray bytes = readWaiting();
    if (discardNull_)
        bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

} // namespace keytoner
