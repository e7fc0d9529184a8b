#pragma once

#include "FakePortList.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace keytoner::test {

// A serial port in memory: records what the program does to it with the time of each step,
// and receives what the test feeds it.
class FakeSerial : public SerialPort {
    Q_OBJECT
public:
    struct Step {
        enum Kind { Open, Close, Write, Rts } kind;
        qint64 atMs;
        QByteArray bytes; // Write
        bool on = false;  // Rts
    };

    bool open(const QString &device) override;
    void close() override;
    bool isOpen() const override { return open_; }
    QString errorString() const override { return error_; }
    bool write(const QByteArray &bytes) override;
    void setRts(bool on) override;
    bool rts() const override { return rts_; }

    // Bytes from the far end; announced as one arrival.
    void feed(const QByteArray &bytes);
    QByteArray written() const;

    QList<Step> steps;
    QStringList openedDevices;
    // Times the steps by this clock; without one, every step is at 0.
    Clock *timeSource = nullptr;
    bool refuseOpen = false;
    bool failWrites = false;

protected:
    QByteArray readWaiting() override;

private:
    qint64 now() const { return timeSource ? timeSource->tickMs() : 0; }

    QByteArray input_;
    QString error_;
    bool open_ = false;
    bool rts_ = false;
};

class FakeSerialFactory : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override;
    SerialPortList &portList() override { return ports; }
    // The last port created; owned by whoever asked for it.
    FakeSerial *last = nullptr;
    FakePortList ports;
    // Handed to the ports created from now on.
    Clock *timeSource = nullptr;
};

} // namespace keytoner::test
