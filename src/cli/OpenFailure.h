#pragma once

#include <QString>

namespace keytoner {
class SerialPort;
}

namespace keytoner::cli {

// "Not able to open COM3 (DEVICE: system error)", as the window says it, and below it what the
// user can do about it when the port knows.
QString openFailureMessage(const QString &portText, const QString &device, const SerialPort &port);

} // namespace keytoner::cli
