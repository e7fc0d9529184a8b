#include "QtSerialPort.h"

#include "PortAccess.h"
#include "QtSerialPortList.h"

#include <QCoreApplication>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace keytoner {

namespace {

const QString NotOpenText = QStringLiteral("Operation valid only when the port is open");

} // namespace

QtSerialPort::QtSerialPort()
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::received);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

bool QtSerialPort::open(const QString &device)
{
    if (port_.isOpen())
        port_.close();
    quiet_ = true;
    port_.setPortName(device);
    bool opened = port_.open(QIODevice::ReadWrite);
    // The system raises RTS on open; lower it at once, or a transmitter keys as soon as PTT is
    // enabled.
    if (opened)
        applyRts(false);
    if (opened) {
        opened = port_.setBaudRate(4800) && port_.setDataBits(QSerialPort::Data8) &&
                 port_.setParity(QSerialPort::NoParity) &&
                 port_.setStopBits(QSerialPort::OneStop) &&
                 port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!opened) {
            error_ = port_.errorString();
            port_.close();
        }
    } else {
        error_ = port_.errorString();
    }
    reason_ = opened ? QString() : openFailureReason(probePortAccess(device, error_));
    quiet_ = false;
    lost_ = false;
    rts_ = false;
    port_.clearError();
    return opened;
}

void QtSerialPort::close()
{
    if (port_.isOpen())
        port_.close();
    rts_ = false;
}

bool QtSerialPort::isOpen() const
{
    return port_.isOpen();
}

QString QtSerialPort::errorString() const
{
    return error_;
}

bool QtSerialPort::write(const QByteArray &bytes)
{
    if (!port_.isOpen()) {
        error_ = NotOpenText;
        return false;
    }
    port_.clearError();
    // QSerialPort writes from the event loop; the exchanges sleep between writes, so hand the
    // bytes to the system now.
    const bool queued = port_.write(bytes) == bytes.size();
    if (queued)
        port_.flush();
    if (!queued || port_.error() != QSerialPort::NoError) {
        error_ = port_.errorString();
        return false;
    }
    return true;
}

void QtSerialPort::setRts(bool on)
{
    if (!port_.isOpen())
        return;
    quiet_ = true;
    applyRts(on);
    quiet_ = false;
    rts_ = on;
}

bool QtSerialPort::applyRts(bool on)
{
#ifdef Q_OS_UNIX
    // Straight to the line: a device without modem lines (a pseudo-terminal) refuses this, and
    // that refusal is no port event.
    int bits = TIOCM_RTS;
    return ::ioctl(static_cast<int>(port_.handle()), on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
#else
    const bool done = port_.setRequestToSend(on);
    port_.clearError();
    return done;
#endif
}

QByteArray QtSerialPort::readWaiting()
{
    return port_.readAll();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (quiet_)
        return;
    switch (error) {
    case QSerialPort::UnsupportedOperationError:
        emit commEvent(CommEvent::DeviceControlBlock);
        break;
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
        emit commEvent(CommEvent::InputOutput);
        break;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        // The device has gone (adapter unplugged, the far end hung up); its notifier would
        // report it again and again. Report it once, and close the port from the event loop,
        // since closing inside the port's own notifier is unsafe.
        if (lost_)
            break;
        lost_ = true;
        emit commEvent(CommEvent::InputOutput);
        QTimer::singleShot(0, this, [this] {
            if (!port_.isOpen())
                return;
            port_.close();
            emit lost();
        });
        break;
    default: // open failures, a closed port, time-outs: reported by the calls themselves
        break;
    }
}

SerialPortList &QtSerialPortFactory::portList()
{
    // Made on first use and owned by the application: its watcher must go before the
    // application object does.
    if (!list_) {
        list_ = new QtSerialPortList;
        list_->setParent(QCoreApplication::instance());
    }
    return *list_;
}

std::unique_ptr<SerialPort> QtSerialPortFactory::create()
{
    return std::make_unique<QtSerialPort>();
}

} // namespace keytoner
