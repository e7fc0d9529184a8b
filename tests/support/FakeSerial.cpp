#include "FakeSerial.h"

namespace keytoner::test {

bool FakeSerial::open(const QString &device)
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

void FakeSerial::close()
{
    if (!open_)
        return;
    open_ = false;
    rts_ = false;
    steps.append({Step::Close, now(), {}, false});
}

bool FakeSerial::write(const QByteArray &bytes)
{
    if (!open_ || failWrites) {
        error_ = QStringLiteral("Operation valid only when the port is open");
        return false;
    }
    steps.append({Step::Write, now(), bytes, false});
    return true;
}

void FakeSerial::setRts(bool on)
{
    if (!open_)
        return;
    rts_ = on;
    steps.append({Step::Rts, now(), {}, on});
}

void FakeSerial::feed(const QByteArray &bytes)
{
    input_.append(bytes);
    emit received();
}

QByteArray FakeSerial::written() const
{
    QByteArray all;
    for (const auto &step : steps)
        if (step.kind == Step::Write)
            all.append(step.bytes);
    return all;
}

QByteArray FakeSerial::readWaiting()
{
    QByteArray bytes;
    bytes.swap(input_);
    return bytes;
}

std::unique_ptr<SerialPort> FakeSerialFactory::create()
{
    auto port = std::make_unique<FakeSerial>();
    port->timeSource = timeSource;
    last = port.get();
    return port;
}

} // namespace keytoner::test
