#include "OpenFailure.h"

#include "platform/SerialPort.h"

namespace keytoner::cli {

QString openFailureMessage(const QString &portText, const QString &device, const SerialPort &port)
{
    QString message = QStringLiteral("Not able to open COM") + portText + QStringLiteral(" (") +
                      device + QStringLiteral(": ") + port.errorString() + u')';
    const QString reason = port.failureReason();
    if (!reason.isEmpty() && reason != port.errorString())
        message += u'\n' + reason;
    return message;
}

} // namespace keytoner::cli
