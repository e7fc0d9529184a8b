// The serial line misbehaving under the window, end to end on pseudo-terminals: the virtual
// board hangs up in the middle of READ and of PROGRAM, answers late, or the line carries noise
// while the window is idle and while an exchange runs; the port disappears while PTT is keyed.
// Nothing may crash or hang, memory stays bounded, and the next exchange on a good line works.
// A late identity is tst_linksession's: the window adds nothing to it.
//
// The window's fixed pauses take no time here (the fixture's clock); the waits for the board's
// answers run on real timers. KEYTONER_FAULT_NOISE_SECONDS stretches each noise phase into a
// soak (bench/fault-link-soak.sh).
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace keytoner;

namespace {

const QString Detected = QStringLiteral("Tonesentinel  v2 detected.");
const QString ReadOk = QStringLiteral("Data from Tonesentinel  v2 successfully read");
const QString ProgramOk = QStringLiteral("Tonesentinel  v2 successfully programmed");
// As fast as the terminal takes bytes.
constexpr int Flood = 1000000;

int noiseMs(int shortMs)
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KEYTONER_FAULT_NOISE_SECONDS", &ok);
    return ok && seconds > 0 ? seconds * 1000 : shortMs;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

class TestFaultLink : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hangUpInTheMiddle_data();
    void hangUpInTheMiddle();
    void noiseWhileIdle();
    void noiseDuringExchanges();
    void portRemovedDuringAKeyedSend();

private:
    // Links comN in the program folder to the board and ticks the programming box; returns once
    // the board is announced.
    void enableOn(link::VirtualBoard &on, int number);
    void expectMemoryBounded(qint64 beforeKiB);

    QtSerialPortFactory realSerial;
    std::unique_ptr<link::VirtualBoard> board;
};

void TestFaultLink::init()
{
    openWindow(clock, realSerial);
    board = std::make_unique<link::VirtualBoard>();
    QVERIFY(board->start());
}

void TestFaultLink::cleanup()
{
    closeWindow();
    board.reset();
}

void TestFaultLink::enableOn(link::VirtualBoard &on, int number)
{
    const QString comLink = folder.filePath(QStringLiteral("com%1").arg(number));
    QFile::remove(comLink);
    QVERIFY(QFile::link(on.devicePath(), comLink));
    form->dialog().setInfo(QString());
    ui.txtPrgComm->setText(QString::number(number));
    ui.chkPrg->setChecked(true);
    QVERIFY(form->link().portOpen());
    QTRY_COMPARE(form->dialog().info(), Detected);
}

void TestFaultLink::expectMemoryBounded(qint64 beforeKiB)
{
    const qint64 grownKiB = residentKiB() - beforeKiB;
    qInfo("%lld noise bytes, resident memory grew by %lld KiB", board->noiseSent(), grownKiB);
    QVERIFY2(grownKiB < 32 * 1024, qPrintable(QString::number(grownKiB)));
}

void TestFaultLink::hangUpInTheMiddle_data()
{
    QTest::addColumn<bool>("program");
    QTest::addColumn<QString>("boxTitle");
    QTest::newRow("READ") << false << QStringLiteral("DTMF");
    QTest::newRow("PROGRAM") << true << QStringLiteral("COM9");
}

// The port's loss ends the exchange with one box and unticks the programming box; the board
// plugged in again is announced and programmed as if nothing had happened.
void TestFaultLink::hangUpInTheMiddle()
{
    QFETCH(bool, program);
    QFETCH(QString, boxTitle);
    fillValidConfiguration();
    link::VirtualBoard::Faults hangUp;
    hangUp.hangUpInRead = !program;
    hangUp.hangUpInWrite = program;
    board->setFaults(hangUp);
    enableOn(*board, 9);
    messages.shown.clear();
    (program ? ui.cmdSend : ui.cmdRead)->click();
    QVERIFY(board->hungUp());
    if (program)
        QCOMPARE(board->blocksAccepted(), 1);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, boxTitle);
    // The loss is handled when the window is back in its event loop.
    QTRY_VERIFY(!ui.chkPrg->isChecked());
    QVERIFY(!form->link().portOpen());

    link::VirtualBoard again;
    QVERIFY(again.start());
    enableOn(again, 9);
    if (program) {
        ui.cmdSend->click();
        QCOMPARE(form->dialog().info(), ProgramOk);
        QCOMPARE(again.image(), form->link().PrgImage);
    }
    QVERIFY(form->close());
}

// Random bytes at the line's rate, then a flood of frames that the next repetition cuts short
// (an identity line that never ends is the parser's unit test). Noise that stops inside a frame
// must not cost the next READ its answer, nor the port opened again its announcement.
void TestFaultLink::noiseWhileIdle()
{
    enableOn(*board, 11);
    const qint64 before = residentKiB();
    board->setNoise(480);
    QTest::qWait(noiseMs(300));
    board->setNoise(Flood, QByteArray("\xFF\xAA"
                                      "Tone\xFF\xFF",
                                      8) +
                               QByteArray(40, '\x21'));
    QTest::qWait(noiseMs(150));
    board->setNoise(0);
    QVERIFY(board->noiseSent() > 480 / 4);
    expectMemoryBounded(before);
    QVERIFY(form->link().portOpen());

    messages.shown.clear();
    board->sendNoise(QByteArray("\xFF\xAA"
                                "abc",
                                5));
    QTest::qWait(50);
    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(), ReadOk);
    QVERIFY(messages.shown.isEmpty());
    // What READ brought lands in the fields.
    QCOMPARE(form->link().RxImage, board->image());
    QCOMPARE(ui.txtCallID->text(), QStringLiteral("TEST"));
    QCOMPARE(ui.txtMem[0]->text(), QStringLiteral("11"));
    QCOMPARE(ui.txtSeqCmd->text(), QStringLiteral("123"));

    board->sendNoise(QByteArray("\xFF\xFF", 2) + QByteArray(20, '\x01'));
    QTest::qWait(50);
    ui.chkPrg->setChecked(false);
    enableOn(*board, 11);
    QVERIFY(form->close());
}

// Exchanges in the noise each end with a text and the buttons back (success is possible when
// the noise spares the frames). At the line's rate no identity line gets through; sparse noise
// lets exchanges reach the data frame and the write blocks, and spoils them there. Once the
// line is clean, READ works.
void TestFaultLink::noiseDuringExchanges()
{
    enableOn(*board, 11);
    fillValidConfiguration();
    const qint64 before = residentKiB();
    for (const int rate : {480, 5}) {
        board->setNoise(rate);
        QElapsedTimer phase;
        phase.start();
        do {
            for (QPushButton *exchange : {ui.cmdRead, ui.cmdSend}) {
                form->dialog().setInfo(QString());
                exchange->click();
                QVERIFY(!form->dialog().info().isEmpty());
                qInfo("%d bytes/s: %s", rate, qPrintable(form->dialog().info().simplified()));
                QVERIFY(ui.cmdRead->isEnabled());
                QVERIFY(ui.cmdSend->isEnabled());
            }
        } while (phase.elapsed() < noiseMs(0));
    }
    board->setNoise(0);
    expectMemoryBounded(before);

    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(), ReadOk);
    QVERIFY(form->close());
}

// The adapter goes while the transmitter is keyed for a send: the box is unticked, the port
// closed, RTS low, the player idle.
void TestFaultLink::portRemovedDuringAKeyedSend()
{
    QVERIFY(QFile::link(board->devicePath(), folder.filePath(QStringLiteral("com2"))));
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(form->link().portOpen());
    audio.plan.finishMs = 200;
    ui.Text1->setText(QStringLiteral("123"));
    bool keyedThen = false;
    QTimer::singleShot(50, form.get(), [&] {
        keyedThen = form->link().MSComm1().rts();
        board->stop();
    });
    ui.cmdTone->click();
    waitForSendEnd();
    QVERIFY(keyedThen);
    QTRY_VERIFY(!ui.chkPtt->isChecked());
    QVERIFY(!form->link().portOpen());
    QVERIFY(!form->link().MSComm1().rts());
    QVERIFY(!form->player().IsPlaying());
    QVERIFY(form->close());
}

QTEST_MAIN(TestFaultLink)
#include "tst_fault_link.moc"
