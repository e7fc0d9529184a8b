#pragma once

#include "SerialPort.h"

#include <QPointer>
#include <QSerialPort>

namespace keytoner {

// The machine's serial ports through QSerialPort.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    QtSerialPort();

    bool open(const QString &device) override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override;
    QString failureReason() const override { return reason_; }
    bool write(const QByteArray &bytes) override;
    void setRts(bool on) override;
    bool rts() const override { return rts_; }

protected:
    QByteArray readWaiting() override;

private:
    void onError(QSerialPort::SerialPortError error);
    bool applyRts(bool on);

    QSerialPort port_;
    QString error_;
    QString reason_;
    bool rts_ = false;
    bool quiet_ = false; // errors of open and of RTS changes are not port events
    bool lost_ = false;
};

class QtSerialPortList;

class QtSerialPortFactory : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override;
    SerialPortList &portList() override;

private:
    QPointer<QtSerialPortList> list_;
};

} // namespace keytoner
