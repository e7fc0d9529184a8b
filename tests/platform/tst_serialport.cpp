// The QSerialPort-based port on a pseudo-terminal: line settings, reads, NUL discarding, RTS
// on a device without modem lines, the far end hanging up.
#include "platform/QtSerialPort.h"

#include <QSignalSpy>
#include <QtTest>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace keytoner;

class TestSerialPort : public QObject {
    Q_OBJECT

    int master = -1;
    int slave = -1;
    QString device;

private slots:
    void init()
    {
        QCOMPARE(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        device = QString::fromLocal8Bit(::ptsname(master));
    }

    void cleanup()
    {
        ::close(master);
        ::close(slave);
    }

    void opensAt4800EightNoneOneWithoutHandshake()
    {
        QtSerialPort port;
        QVERIFY2(port.open(device), qPrintable(port.errorString()));
        termios settings{};
        QCOMPARE(::tcgetattr(slave, &settings), 0);
        QCOMPARE(::cfgetospeed(&settings), speed_t(B4800));
        QCOMPARE(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        QVERIFY(!port.discardNull());
        // A pseudo-terminal has no modem lines: RTS fails, quietly.
        QSignalSpy events(&port, &SerialPort::commEvent);
        port.setRts(true);
        port.setRts(false);
        QCoreApplication::processEvents();
        QCOMPARE(events.size(), 0);
        QVERIFY(port.isOpen());
    }

    void bytesBothWaysAndNulDroppedOnlyWhenAsked()
    {
        QtSerialPort port;
        QVERIFY(port.open(device));
        QVERIFY(port.write(QByteArray("\xFF\xCC", 2)));
        // No event loop ran: the bytes must already be on the line.
        char buffer[8];
        QCOMPARE(::read(master, buffer, sizeof buffer), ssize_t(2));
        QCOMPARE(QByteArray(buffer, 2), QByteArray("\xFF\xCC", 2));

        QSignalSpy received(&port, &SerialPort::received);
        const QByteArray bytes("A\0B\0\0C", 6);
        QCOMPARE(::write(master, bytes.constData(), 6), ssize_t(6));
        QVERIFY(received.wait(1000));
        QCOMPARE(port.readAll(), bytes);
        port.setDiscardNull(true);
        QCOMPARE(::write(master, bytes.constData(), 6), ssize_t(6));
        QVERIFY(received.wait(1000));
        QCOMPARE(port.readAll(), QByteArray("ABC"));
    }

    void farEndHangingUpIsReportedOnceAndCloses()
    {
        QtSerialPort port;
        QVERIFY(port.open(device));
        QSignalSpy events(&port, &SerialPort::commEvent);
        QSignalSpy lost(&port, &SerialPort::lost);
        ::close(master);
        ::close(slave);
        master = slave = -1;
        QVERIFY(lost.wait(2000));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.at(0).at(0).toInt(), CommEvent::InputOutput);
        QVERIFY(!port.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
