// What else may happen while a send or an exchange is under way. A box or file dialog that is
// open when the playback ends must not keep the transmitter keyed, stretch the effective time or
// keep the window busy; the controls that would take the serial port must leave a READ or a
// PROGRAM alone, so that no byte of it reaches another device and the board is never told to
// stop programming in the middle.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "app/SenderPanel.h"
#include "config/ConfigFile.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace keytoner;
using test::FakeSerial;

namespace {

// On the manual clock: how long the fake playback lasts, and how long the user then leaves the
// box open before closing it.
constexpr int PlayedMs = 1000;
constexpr int ReadingMs = 10000;
constexpr int TxDelayMs = 200;

const QString Completed = QStringLiteral("Sequence completed.\r\nEffective time = 1000mS.");
const QString NotSent = QStringLiteral("Sequence NOT sent.");
const QString Detected = QStringLiteral("Tonesentinel  v2 detected.");

// Pauses that take no time; the action runs at the first pending-events turn at least delayMs
// after pause number `pause`, counted from when it is set.
struct PauseClock : test::FakeClock {
    int pause = 0;
    int delayMs = 0;
    std::function<void()> action;
    void sleepMs(int ms) override
    {
        FakeClock::sleepMs(ms);
        if (--pause == 0)
            QTimer::singleShot(delayMs, action);
    }
};

// What the window looked like at the moment the playback ended.
struct AtEnd {
    bool seen = false;
    qint64 lastSampleMs = -1; // -1: nothing was played
    QString status;
    bool buttonBack = false;
    bool busyPointer = true;
};

} // namespace

class TestInterleave : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void cleanup();

    void dialogOpenWhenPlaybackEnds_data();
    void dialogOpenWhenPlaybackEnds();
    void controlsDuringAnExchange_data();
    void controlsDuringAnExchange();

private:
    void openDialog(const QString &dialog);
    void endPlaybackNow();
    void useControl(const QString &control, const QString &exchange);
    QString prgFileNamingPort(const QString &port);

    AtEnd atEnd;
    QtSerialPortFactory realSerial;
    PauseClock pauses;
};

void TestInterleave::cleanup()
{
    closeWindow();
    atEnd = AtEnd();
}

void TestInterleave::dialogOpenWhenPlaybackEnds_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("ptt");
    QTest::addColumn<QString>("status");
    const auto row = [](const char *dialog, bool ptt, const QString &status) {
        QTest::newRow(dialog) << QString::fromLatin1(dialog) << ptt << status;
    };
    // One row per kind of wait: a box of the window's (the close refused; a file dialog waits
    // the same way), the sender's own box, and an exchange.
    row("close refused", true, Completed);
    row("player failure box", true, NotSent);
    // Programming holds the port, so no PTT: READ's dialog and its port failure box.
    row("program parameters and link failure box", false, Completed);
}

// The fake output plays until the dialog is up; the playback then ends while it stays open.
void TestInterleave::dialogOpenWhenPlaybackEnds()
{
    QFETCH(QString, dialog);
    QFETCH(bool, ptt);
    QFETCH(QString, status);
    clock.manualTime = true;
    clock.nowMs = 5000;
    serial.timeSource = &clock;
    openWindow();
    ui.Text1->setText(QStringLiteral("12"));
    ui.txtTxd->setText(QString::number(TxDelayMs));
    audio.plan.ending = test::FakeAudioPlan::NeverFinishes;
    if (ptt) {
        ui.txtPttCom->setText(QStringLiteral("2"));
        ui.chkPtt->setChecked(true);
    } else {
        ui.txtPrgComm->setText(QStringLiteral("3"));
        ui.chkPrg->setChecked(true);
        serial.last->failWrites = true;
    }
    if (dialog == QLatin1String("player failure box"))
        audio.plan.openResult = AudioOpenError;
    messages.whileShown = [this](const test::ShownMessage &) { endPlaybackNow(); };

    form->sender().cmdTone_Click();
    openDialog(dialog);

    QVERIFY(atEnd.seen);
    QCOMPARE(atEnd.status, status);
    QVERIFY(atEnd.buttonBack);
    QVERIFY(!atEnd.busyPointer);
    QVERIFY(!form->sender().sending());
    QCOMPARE(ui.lblInfoSend->text(), status); // closing the box changed nothing

    QList<qint64> edges;
    for (const FakeSerial::Step &step : serial.last->steps)
        if (step.kind == FakeSerial::Step::Rts)
            edges.append(step.atMs);
    if (!ptt) {
        QVERIFY(edges.isEmpty());
        return;
    }
    QCOMPARE(edges.size(), 2);
    // Nothing played: the tail follows the TX delay.
    const qint64 lastSample = atEnd.lastSampleMs >= 0 ? atEnd.lastSampleMs : edges[0] + TxDelayMs;
    QCOMPARE(edges[1] - lastSample, qint64(40));
}

void TestInterleave::openDialog(const QString &dialog)
{
    QVERIFY(dialog == QLatin1String("player failure box") || form->sender().sending());
    if (dialog == QLatin1String("close refused")) {
        QVERIFY(!form->close());
        QCOMPARE(messages.shown.value(0).text,
                 QStringLiteral("Please wait end of sound before closing application."));
    } else if (dialog == QLatin1String("program parameters and link failure box")) {
        // The playback ends in the first pending-events turn of READ, the dialog up.
        QTimer::singleShot(0, form.get(), [this] {
            QVERIFY(form->dialog().isVisible());
            endPlaybackNow();
        });
        ui.cmdRead->click();
        QCOMPARE(messages.shown.value(0).title, QStringLiteral("DTMF"));
    }
    QVERIFY(!messages.shown.isEmpty());
}

void TestInterleave::endPlaybackNow()
{
    if (atEnd.seen)
        return;
    atEnd.seen = true;
    if (audio.current) {
        clock.advance(PlayedMs);
        atEnd.lastSampleMs = clock.tickMs();
        QVERIFY(audio.finishPlayback());
    }
    atEnd.status = ui.lblInfoSend->text();
    atEnd.buttonBack = ui.cmdTone->isEnabled();
    atEnd.busyPointer = form->cursor().shape() == Qt::WaitCursor;
    clock.advance(ReadingMs);
}

void TestInterleave::controlsDuringAnExchange_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("exchange");
    // The controls that would take the port, and the close, go between PROGRAM's blocks, where
    // letting them through would leave the board half-programmed; the others go into READ's
    // data wait. Send with PTT ticks the PTT box first. The programming port's number is
    // disabled by the ticked box whether an exchange runs or not: no row of its own.
    const auto row = [](const char *control, const char *exchange) {
        QTest::addRow("%s during %s", control, exchange)
            << QString::fromLatin1(control) << QString::fromLatin1(exchange);
    };
    for (const char *control : {"Prg Enable", "Send with PTT", "close window"})
        row(control, "PROGRAM");
    for (const char *control :
         {"PTT Comm", "Load", "other exchange", "calculator box", "context menu"})
        row(control, "READ");
}

// The programming port on board A (port 3), the PTT port number naming board B (port 4). The
// window's pauses take no time; the control is used at the first pending-events turn after
// PROGRAM's third pause (between its second and third blocks), or 100 ms after READ's second
// pause (in its data wait).
void TestInterleave::controlsDuringAnExchange()
{
    QFETCH(QString, control);
    QFETCH(QString, exchange);
    const bool read = exchange == QLatin1String("READ");
    openWindow(pauses, realSerial);
    link::VirtualBoard boardA;
    link::VirtualBoard boardB;
    QVERIFY(boardA.start());
    QVERIFY(boardB.start());
    QVERIFY(QFile::link(boardA.devicePath(), folder.filePath(QStringLiteral("com3"))));
    QVERIFY(QFile::link(boardB.devicePath(), folder.filePath(QStringLiteral("com4"))));
    form->show();
    ui.txtPttCom->setText(QStringLiteral("4"));
    ui.txtPrgComm->setText(QStringLiteral("3"));
    ui.chkPrg->setChecked(true);
    QTRY_COMPARE(form->dialog().info(), Detected);
    fillValidConfiguration();
    files.answers.push_back(prgFileNamingPort(QStringLiteral("4")));
    boardA.clearReceived();

    bool used = false;
    pauses.pause = read ? 2 : 3;
    pauses.delayMs = read ? 100 : 0;
    pauses.action = [&] {
        useControl(control, exchange);
        used = true;
    };
    (read ? ui.cmdRead : ui.cmdSend)->click();
    QVERIFY(used);

    // Right after the exchange: it went whole to board A, nothing to board B.
    QCOMPARE(boardA.closeCommands(), 0);
    const QByteArray toA = boardA.receivedBytes();
    if (exchange == QLatin1String("READ")) {
        QCOMPARE(form->dialog().info(),
                 QStringLiteral("Data from Tonesentinel  v2 successfully read"));
        QCOMPARE(toA, QByteArray("\xFF\xCC\xFF\xAA", 4));
    } else {
        QCOMPARE(form->dialog().info(), QStringLiteral("Tonesentinel  v2 successfully programmed"));
        // Identify, header, blocks, read: the bytes themselves are tst_linksession's.
        QCOMPARE(toA.size(), 2 + 2 + 4 * 49 + 2);
    }
    QCOMPARE(boardB.receivedBytes(), QByteArray());
    QVERIFY(files.requests.isEmpty());
    if (control == QLatin1String("calculator box")) // shown once the exchange is over
        QTRY_COMPARE(messages.shown.size(), qsizetype(1));

    if (control == QLatin1String("close window")) {
        // The close waited for the end of the exchange; now the board is told and let go.
        QTRY_VERIFY(!form->link().portOpen());
        QTRY_COMPARE(boardA.closeCommands(), 1);
        QVERIFY(!form->isVisible());
        return;
    }
    // Everything is back as it was before the exchange.
    QVERIFY(ui.chkPrg->isEnabled() && ui.chkPrg->isChecked());
    QVERIFY(ui.chkPtt->isEnabled() && !ui.chkPtt->isChecked());
    QCOMPARE(ui.txtPrgComm->text(), QStringLiteral("3"));
    QCOMPARE(ui.txtPttCom->text(), QStringLiteral("4"));
    QVERIFY(ui.txtPttCom->isEnabled());
    QVERIFY(ui.cmdLoad->isEnabled() && ui.cmdRead->isEnabled() && ui.cmdSend->isEnabled());
    waitForSendEnd();
    QVERIFY(form->close());
    QTRY_COMPARE(boardA.closeCommands(), 1);
    QCOMPARE(boardB.receivedBytes(), QByteArray());
}

void TestInterleave::useControl(const QString &control, const QString &exchange)
{
    if (control == QLatin1String("Prg Enable")) {
        ui.chkPrg->click();
    } else if (control == QLatin1String("PTT Comm")) {
        QTest::keyClicks(ui.txtPttCom, QStringLiteral("5"));
    } else if (control == QLatin1String("Load")) {
        ui.cmdLoad->click();
    } else if (control == QLatin1String("Send with PTT")) {
        ui.chkPtt->click();
        ui.cmdTone->click();
    } else if (control == QLatin1String("close window")) {
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
    } else if (control == QLatin1String("other exchange")) {
        (exchange == QLatin1String("READ") ? ui.cmdSend : ui.cmdRead)->click();
    } else if (control == QLatin1String("context menu")) {
        // A menu that opened would be closed again, and the row would fail.
        bool menuOpened = false;
        QTimer::singleShot(100, form.get(), [&menuOpened] {
            if (QWidget *menu = QApplication::activePopupWidget()) {
                menuOpened = true;
                menu->close();
            }
        });
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                  ui.txtMem[1]->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(ui.txtMem[1], &menuKey);
        QTest::qWait(150);
        QVERIFY(!menuOpened);
    } else if (control == QLatin1String("calculator box")) {
        // A modal box now would hold the exchange up until the user closed it.
        ui.cmdSeqCalc->click();
        QVERIFY(messages.shown.isEmpty());
    }
}

// A configuration file like the window's, but naming another programming port.
QString TestInterleave::prgFileNamingPort(const QString &port)
{
    BoardConfig config = form->config().fields();
    config.txtPrgComm = port;
    const QString path = folder.filePath(QStringLiteral("other-port.prg"));
    const auto failure = saveConfigFile(path, config);
    return failure ? QString() : path;
}

QTEST_MAIN(TestInterleave)
#include "tst_interleave.moc"
