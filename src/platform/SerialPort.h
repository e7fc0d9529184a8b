#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace keytoner {

// Event codes of the port, numbered as the serial control the program was first written for
// reported them; the window's event handler turns them into texts.
namespace CommEvent {
constexpr int Receive = 2;
constexpr int Break = 1001;
constexpr int Frame = 1004;
constexpr int Overrun = 1006;
constexpr int InputOutput = 1007;
constexpr int RxOverflow = 1008;
constexpr int RxParity = 1009;
constexpr int TxFull = 1010;
constexpr int DeviceControlBlock = 1011;
} // namespace CommEvent

// One serial port, MSComm1: 4800 baud, 8N1, no flow control. RTS is low from the moment the
// port opens; DTR is left as the system sets it. Received bytes are announced by received()
// once per arrival and taken all at once with readAll(); with NUL discarding on, readAll()
// leaves out the 0x00 bytes.
class SerialPort : public QObject {
    Q_OBJECT
public:
    ~SerialPort() override = default;

    // device: a system name ("COM3") or a path ("/dev/ttyS2", a link to a device).
    virtual bool open(const QString &device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Why the last open or write failed.
    virtual QString errorString() const = 0;
    // After a failed open: what the user can do about it (not plugged in, permission, busy);
    // empty when nothing more is known.
    virtual QString failureReason() const { return {}; }
    // Writes at once; false (with errorString) when the port is closed or the write fails.
    virtual bool write(const QByteArray &bytes) = 0;
    // Fails quietly where the device has no modem lines (a pseudo-terminal).
    virtual void setRts(bool on) = 0;
    virtual bool rts() const = 0;

    QByteArray readAll();
    void setDiscardNull(bool on) { discardNull_ = on; }
    bool discardNull() const { return discardNull_; }

signals:
    void received();
    // A line or device event, code as in CommEvent. lost() follows when the device has gone
    // (adapter unplugged, the far end hung up); the port is then unusable and should be closed.
    void commEvent(int code);
    void lost();

protected:
    virtual QByteArray readWaiting() = 0;

private:
    bool discardNull_ = false;
};

class SerialPortList;

class SerialPortFactory {
public:
    virtual ~SerialPortFactory() = default;
    virtual std::unique_ptr<SerialPort> create() = 0;
    // The ports there are to choose from.
    virtual SerialPortList &portList();
};

} // namespace keytoner
