#pragma once

#include "FakePortList.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QList>
#include <utility>

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

    bool open(const QString &device) override
    {
        openedDevices.append(device);
        if (refuseOpen) {
            error_ = QStringLiteral("No such file or directory");
            return false;
        }
        open_ = true;
        rts_ = false;
        steps.append({Step::Open, now(), {}, false});
        return true;
    }
    void close() override
    {
        if (open_)
            steps.append({Step::Close, now(), {}, false});
        open_ = rts_ = false;
    }
    bool isOpen() const override { return open_; }
    QString errorString() const override { return error_; }
    bool write(const QByteArray &bytes) override
    {
        if (!open_ || failWrites) {
            error_ = QStringLiteral("Operation valid only when the port is open");
            return false;
        }
        steps.append({Step::Write, now(), bytes, false});
        return true;
    }
    void setRts(bool on) override
    {
        if (!open_)
            return;
        rts_ = on;
        steps.append({Step::Rts, now(), {}, on});
    }
    bool rts() const override { return rts_; }

    // Bytes from the far end; announced as one arrival.
    void feed(const QByteArray &bytes)
    {
        input_.append(bytes);
        emit received();
    }
    QByteArray written() const
    {
        QByteArray all;
        for (const auto &step : steps)
            all.append(step.bytes);
        return all;
    }

    QList<Step> steps;
    QStringList openedDevices;
    // Times the steps by this clock; without one, every step is at 0.
    Clock *timeSource = nullptr;
    bool refuseOpen = false;
    bool failWrites = false;

protected:
    QByteArray readWaiting() override { return std::exchange(input_, QByteArray()); }

private:
    qint64 now() const { return timeSource ? timeSource->tickMs() : 0; }

    QByteArray input_;
    QString error_;
    bool open_ = false;
    bool rts_ = false;
};

class FakeSerialFactory : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override
    {
        auto port = std::make_unique<FakeSerial>();
        port->timeSource = timeSource;
        last = port.get();
        return port;
    }
    SerialPortList &portList() override { return ports; }
    // The last port created; owned by whoever asked for it.
    FakeSerial *last = nullptr;
    FakePortList ports;
    // Handed to the ports created from now on.
    Clock *timeSource = nullptr;
};

} // namespace keytoner::test
