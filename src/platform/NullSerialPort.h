#pragma once

#include "SerialPort.h"

namespace keytoner {

// A port that never opens: stands in when the platform offers no serial ports.
class NullSerialPort : public SerialPort {
public:
    bool open(const QString &) override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
    QString errorString() const override { return QStringLiteral("No serial ports"); }
    bool write(const QByteArray &) override { return false; }
    void setRts(bool) override {}
    bool rts() const override { return false; }

protected:
    QByteArray readWaiting() override { return {}; }
};

} // namespace keytoner
