// The real window, real boxes and file dialogs, the system's sound output and serial ports:
// what happens to PTT and the effective time when a box is open as the playback ends, and to
// an exchange when the port's controls are used in its middle. bench/bench-interleave.sh runs
// it under Xvfb with a private PulseAudio null sink and two `keytoner-cli simulate` boards.
// Usage: bench_interleave FOLDER   (FOLDER holds com3 and com4, the two boards)
// Prints one line per case: the RTS release after the end of the playback, the effective time
// and when the box was closed; for the exchange, the bytes written to each port.
#include "app/FormTone.h"
#include "app/MessageDialog.h"
#include "app/SenderPanel.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSerialPort.h"
#include "support/WindowControls.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace keytoner;

namespace {

QElapsedTimer since;

// The system's serial port, with the time of every RTS change and the bytes written to each
// device recorded on the way.
class RecordingPort : public SerialPort {
public:
    RecordingPort()
    {
        connect(&port_, &SerialPort::received, this, &SerialPort::received);
        connect(&port_, &SerialPort::commEvent, this, &SerialPort::commEvent);
        connect(&port_, &SerialPort::lost, this, &SerialPort::lost);
    }
    bool open(const QString &device) override
    {
        device_ = device;
        return port_.open(device);
    }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    QString errorString() const override { return port_.errorString(); }
    bool write(const QByteArray &bytes) override
    {
        const bool ok = port_.write(bytes);
        if (ok)
            written[device_] += bytes;
        return ok;
    }
    void setRts(bool on) override
    {
        port_.setRts(on);
        rtsEdges.append({since.elapsed(), on});
    }
    bool rts() const override { return port_.rts(); }

    static inline QMap<QString, QByteArray> written;
    static inline QList<QPair<qint64, bool>> rtsEdges;

protected:
    QByteArray readWaiting() override { return port_.readAll(); }

private:
    QtSerialPort port_;
    QString device_;
};

class RecordingPorts : public SerialPortFactory {
public:
    std::unique_ptr<SerialPort> create() override { return std::make_unique<RecordingPort>(); }
};

// Closes whatever modal box or dialog is up.
void closeModal()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
}

void sendWithBox(FormTone &window, const QString &box, bool ptt)
{
    const test::WindowControls ui(window);
    RecordingPort::rtsEdges.clear();
    ui.chkPrg->setChecked(false);
    ui.chkPtt->setChecked(ptt);
    if (!ptt)
        ui.chkPrg->setChecked(true);
    ui.txtCrcTag->clear();
    ui.txtMem[0]->setText(QStringLiteral("123"));
    qint64 lastSample = -1;
    QString statusAtEnd;
    auto connection =
        QObject::connect(&window.player(), &TonePlayer::playingChanged, [&](bool playing) {
            if (!playing)
                lastSample = since.elapsed();
        });
    QSignalSpy ended(&window.sender(), &SenderPanel::sendEnded);
    auto endConnection = QObject::connect(&window.sender(), &SenderPanel::sendEnded,
                                          [&] { statusAtEnd = ui.lblInfoSend->text(); });
    qint64 boxClosed = -1;
    // The box opens 300 ms into the tones and stays 4 s, well past their end.
    QTimer::singleShot(300, &window, [&] {
        QTimer::singleShot(4000, &window, [&] {
            boxClosed = since.elapsed();
            closeModal();
        });
        if (box == QLatin1String("close refusal"))
            window.close();
        else if (box == QLatin1String("calculator refusal"))
            ui.cmdSeqCalc->click();
        else if (box == QLatin1String("checksum digit warning"))
            ui.txtCrcTag->setText(QStringLiteral("2"));
        else if (box == QLatin1String("load file dialog"))
            ui.cmdLoad->click();
        else if (box == QLatin1String("save file dialog"))
            ui.cmdSave->click();
        else if (box == QLatin1String("READ, Program Parameters dialog"))
            ui.cmdRead->click();
    });
    const qint64 clicked = since.elapsed();
    QTest::mouseClick(ui.cmdTone, Qt::LeftButton);
    if (window.sender().sending())
        ended.wait(60000);
    while (boxClosed < 0)
        QTest::qWait(50);
    QTest::qWait(200);
    QObject::disconnect(connection);
    QObject::disconnect(endConnection);
    qint64 released = -1;
    for (const auto &edge : RecordingPort::rtsEdges)
        if (!edge.second)
            released = edge.first;
    const QString effective = statusAtEnd.section(QStringLiteral("= "), 1);
    QTextStream(stdout) << box.leftJustified(34) << " RTS release after last sample: "
                        << (ptt && released >= 0 ? QString::number(released - lastSample) + " ms"
                                                 : QStringLiteral("no PTT"))
                        << ", effective time " << effective << ", playback ended at "
                        << (lastSample - clicked) << " ms, box closed at " << (boxClosed - clicked)
                        << " ms, status after close unchanged: "
                        << (ui.lblInfoSend->text() == statusAtEnd ? "yes" : "no") << Qt::endl;
}

// 600 ms into the exchange the user ticks PTT Enable (port 4), unticks Prg Enable, presses
// Load and, last, closes the window.
void exchangeWithControls(FormTone &window, QPushButton *exchange, bool closeToo)
{
    const test::WindowControls ui(window);
    ui.chkPtt->setChecked(false);
    ui.chkPrg->setChecked(false);
    ui.chkPrg->setChecked(true);
    QTest::qWait(500);
    window.dialog().OKButton_Click();
    RecordingPort::written.clear();
    QTimer::singleShot(600, &window, [&] {
        ui.SSTab1->setCurrentIndex(1);
        ui.chkPtt->click();
        ui.SSTab1->setCurrentIndex(0);
        ui.chkPrg->click();
        ui.cmdLoad->click();
        if (closeToo)
            window.close();
    });
    exchange->click();
    QTest::qWait(300);
    QTextStream out(stdout);
    out << exchange->text() << ": " << window.dialog().info().simplified() << Qt::endl;
    for (auto it = RecordingPort::written.cbegin(); it != RecordingPort::written.cend(); ++it)
        out << "  " << it.key() << ": " << it.value().size() << " bytes, FF 99 "
            << (it.value().endsWith(QByteArray("\xFF\x99", 2)) ? "last" : "none") << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    int status = 2;
    {
        QApplication app(argc, argv);
        if (argc < 2) {
            std::fprintf(stderr, "usage: bench_interleave FOLDER\n");
        } else {
            since.start();
            QtMessageBoxes messages;
            QtFileDialogs files;
            SystemClock clock;
            RecordingPorts ports;
            Platform platform{messages, files, clock, systemPlatform().audio, ports};
            FormTone window(platform, QString::fromLocal8Bit(argv[1]));
            const test::WindowControls ui(window);
            // The folder has no Default.prg yet: the start-up's box is closed for the user.
            QTimer::singleShot(1000, &window, &closeModal);
            window.startUp();
            ui.SSTab1->setCurrentIndex(1);
            ui.Text1->setText(QStringLiteral("1234567890"));
            ui.Text2->setText(QStringLiteral("100"));
            ui.Text3->setText(QStringLiteral("50"));
            ui.txtTxd->setText(QStringLiteral("200"));
            ui.txtPttCom->setText(QStringLiteral("4"));
            ui.txtPrgComm->setText(QStringLiteral("3"));
            for (const char *box :
                 {"none", "close refusal", "calculator refusal", "checksum digit warning",
                  "load file dialog", "save file dialog"})
                sendWithBox(window, QString::fromLatin1(box), true);
            sendWithBox(window, QStringLiteral("READ, Program Parameters dialog"), false);
            ui.SSTab1->setCurrentIndex(0);
            test::WindowControls(window).fillValidConfiguration();
            exchangeWithControls(window, ui.cmdRead, false);
            exchangeWithControls(window, ui.cmdSend, true);
            QTextStream(stdout) << "window closed after PROGRAM: "
                                << (window.isVisible() ? "no" : "yes") << Qt::endl;
            status = 0;
        }
    }
    std::fflush(stdout);
    std::_Exit(status);
}
