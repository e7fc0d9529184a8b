// The serial line misbehaving under the window, end to end on pseudo-terminals, and what else
// may happen while a send or an exchange is under way. Noise while the window is idle and while
// an exchange runs, and the port disappearing while PTT is keyed, must crash or hang nothing,
// keep memory bounded and leave the next exchange on a good line working. A box or file dialog
// open when the playback ends must not keep the transmitter keyed, stretch the effective time
// or keep the window busy; the controls that would take the serial port must leave a READ or a
// PROGRAM alone, so that no byte of it reaches another device and the board is never told to
// stop programming in the middle. A late identity and a board hanging up are tst_linksession's.
//
// The window's fixed pauses take no time here; the waits for the board's answers run on real
// timers. KEYTONER_FAULT_NOISE_SECONDS stretches each noise phase into a soak
// (bench/fault-link-soak.sh).
#include "app/ConfigPanel.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "config/ConfigFile.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "support/Files.h"
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <functional>
#include <utility>

using namespace keytoner;

namespace {

const QString ReadOk = QStringLiteral("Data from Tonesentinel  v2 successfully read");
const QString ProgramOk = QStringLiteral("Tonesentinel  v2 successfully programmed");
const QString Completed = QStringLiteral("Sequence completed.\r\nEffective time = 1000mS.");

int noiseMs(int shortMs)
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KEYTONER_FAULT_NOISE_SECONDS", &ok);
    return ok && seconds > 0 ? seconds * 1000 : shortMs;
}

qint64 residentKiB()
{
    const QByteArray status = test::fileBytes(QStringLiteral("/proc/self/status"));
    return status.mid(status.indexOf("VmRSS:") + 6).trimmed().split(' ').value(0).toLongLong();
}

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

} // namespace

class TestFaultLink : public QObject, public test::TestWindow {
    Q_OBJECT

    QtSerialPortFactory realSerial;
    std::unique_ptr<link::VirtualBoard> board;
    PauseClock pauses;

    // The window on the real serial driver, com11 in the program folder linked to the board and
    // the programming box ticked; returns once the board is announced.
    void enableOnBoard()
    {
        const QString comLink = folder.filePath(QStringLiteral("com11"));
        QFile::remove(comLink);
        QVERIFY(QFile::link(board->devicePath(), comLink));
        form->dialog().setInfo(QString());
        ui.txtPrgComm->setText(QStringLiteral("11"));
        ui.chkPrg->setChecked(true);
        QVERIFY(form->link().portOpen());
        QTRY_COMPARE(form->dialog().info(), QStringLiteral("Tonesentinel  v2 detected."));
    }

    void expectMemoryBounded(qint64 beforeKiB)
    {
        const qint64 grownKiB = residentKiB() - beforeKiB;
        qInfo("%lld noise bytes, resident memory grew by %lld KiB", board->noiseSent(), grownKiB);
        QVERIFY2(grownKiB < 32 * 1024, qPrintable(QString::number(grownKiB)));
    }

private slots:
    void init()
    {
        board = std::make_unique<link::VirtualBoard>();
        QVERIFY(board->start());
    }

    void cleanup()
    {
        closeWindow();
        board.reset();
    }

    // Random bytes at the line's rate, then a flood of frames that the next repetition cuts
    // short (an identity line that never ends is the parser's unit test). Noise that stops
    // inside a frame must not cost the next READ its answer, nor the port opened again its
    // announcement.
    void noiseWhileIdle()
    {
        openWindow(clock, realSerial);
        enableOnBoard();
        const qint64 before = residentKiB();
        board->setNoise(480);
        QTest::qWait(noiseMs(300));
        // As fast as the terminal takes bytes.
        board->setNoise(1000000, QByteArray("\xFF\xAATone\xFF\xFF") + QByteArray(40, '\x21'));
        QTest::qWait(noiseMs(150));
        board->setNoise(0);
        QVERIFY(board->noiseSent() > 480 / 4);
        expectMemoryBounded(before);

        board->sendNoise(QByteArray("\xFF\xAA") + "abc");
        QTest::qWait(50);
        ui.cmdRead->click();
        QCOMPARE(form->dialog().info(), ReadOk);
        QVERIFY(messages.shown.isEmpty());
        // What READ brought lands in the fields (which field takes what is tst_configpanel's).
        QCOMPARE(form->link().RxImage, board->image());
        QCOMPARE(ui.txtCallID->text(), QStringLiteral("TEST"));

        board->sendNoise(QByteArray("\xFF\xFF") + QByteArray(20, '\x01'));
        QTest::qWait(50);
        ui.chkPrg->setChecked(false);
        enableOnBoard();
        QVERIFY(form->close());
    }

    // Exchanges in the noise each end with a text and the buttons back (success is possible
    // when the noise spares the frames). At the line's rate no identity line gets through;
    // sparse noise lets exchanges reach the data frame and the write blocks, and spoils them
    // there. Once the line is clean, READ works.
    void noiseDuringExchanges()
    {
        openWindow(clock, realSerial);
        enableOnBoard();
        ui.fillValidConfiguration();
        const qint64 before = residentKiB();
        for (const int rate : {480, 5}) {
            board->setNoise(rate);
            const QDeadlineTimer phase(noiseMs(0));
            do {
                for (QPushButton *exchange : {ui.cmdRead, ui.cmdSend}) {
                    form->dialog().setInfo(QString());
                    exchange->click();
                    QVERIFY(!form->dialog().info().isEmpty());
                    qInfo("%d bytes/s: %s", rate, qPrintable(form->dialog().info().simplified()));
                    QVERIFY(ui.cmdRead->isEnabled() && ui.cmdSend->isEnabled());
                }
            } while (!phase.hasExpired());
        }
        board->setNoise(0);
        expectMemoryBounded(before);
        ui.cmdRead->click();
        QCOMPARE(form->dialog().info(), ReadOk);
        QVERIFY(form->close());
    }

    // The adapter goes while the transmitter is keyed for a send: the box is unticked, the port
    // closed, RTS low, the player idle.
    void portRemovedDuringAKeyedSend()
    {
        openWindow(clock, realSerial);
        QVERIFY(QFile::link(board->devicePath(), folder.filePath(QStringLiteral("com2"))));
        ui.txtPttCom->setText(QStringLiteral("2"));
        ui.chkPtt->setChecked(true);
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
        QVERIFY(!form->link().portOpen() && !form->link().MSComm1().rts());
        QVERIFY(!form->player().IsPlaying());
        QVERIFY(form->close());
    }

    // One row per kind of wait, named by the row: a box of the window's (the close refused; a
    // file dialog waits the same way), the sender's own box, and an exchange: READ's dialog and
    // its port failure box. Programming holds the port, so no PTT in that row. The transmitter is
    // keyed at 5000 ms, and let go 40 ms after the last sample or, nothing played, after the TX
    // delay.
    void dialogOpenWhenPlaybackEnds_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QList<qint64>>("rtsEdges");
        QTest::newRow("close refused") << Completed << QList<qint64>{5000, 6240};
        QTest::newRow("player failure box") << "Sequence NOT sent." << QList<qint64>{5000, 5240};
        QTest::newRow("READ") << Completed << QList<qint64>{};
    }

    // The fake output plays until the dialog is up; the playback then ends while it stays open,
    // and the window at that moment shows the outcome, the send button back and no busy
    // pointer. The user then leaves the box open a while.
    void dialogOpenWhenPlaybackEnds()
    {
        QFETCH(QString, status);
        QFETCH(QList<qint64>, rtsEdges);
        const QString dialog = QTest::currentDataTag();
        const bool ptt = dialog != QLatin1String("READ");
        clock.manualTime = true;
        clock.nowMs = 5000;
        serial.timeSource = &clock;
        openWindow();
        ui.Text1->setText(QStringLiteral("12"));
        ui.txtTxd->setText(QStringLiteral("200"));
        audio.plan.ending = test::FakeAudioPlan::NeverFinishes;
        (ptt ? ui.txtPttCom : ui.txtPrgComm)->setText(QStringLiteral("2"));
        (ptt ? ui.chkPtt : ui.chkPrg)->setChecked(true);
        serial.last->failWrites = !ptt;
        if (dialog == QLatin1String("player failure box"))
            audio.plan.openResult = AudioOpenError;
        bool ended = false;
        const auto endPlayback = [&] {
            if (std::exchange(ended, true))
                return;
            if (audio.current) {
                clock.advance(1000); // the fake playback's length, on the manual clock
                QVERIFY(audio.finishPlayback());
            }
            QCOMPARE(ui.lblInfoSend->text(), status);
            QVERIFY(ui.cmdTone->isEnabled());
            QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
            clock.advance(10000); // the user leaves the box open a while
        };
        messages.whileShown = [&](const test::ShownMessage &) { endPlayback(); };

        form->sender().cmdTone_Click();
        QVERIFY(dialog == QLatin1String("player failure box") || form->sender().sending());
        if (dialog == QLatin1String("close refused")) {
            QVERIFY(!form->close());
        } else if (!ptt) {
            // The playback ends in the first pending-events turn of READ, the dialog up.
            QTimer::singleShot(0, form.get(), [&] {
                QVERIFY(form->dialog().isVisible());
                endPlayback();
            });
            ui.cmdRead->click();
            QCOMPARE(messages.shown.value(0).title, QStringLiteral("DTMF"));
        }
        QVERIFY(ended);
        QVERIFY(!form->sender().sending());
        QCOMPARE(ui.lblInfoSend->text(), status); // closing the box changed nothing
        QList<qint64> edges;
        for (const auto &step : serial.last->steps)
            if (step.kind == test::FakeSerial::Step::Rts)
                edges.append(step.atMs);
        QCOMPARE(edges, rtsEdges);
    }

    void controlsDuringAnExchange_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("read");
        // The controls that would take the port, and the close, go between PROGRAM's blocks,
        // where letting them through would leave the board half-programmed; the others go into
        // READ's data wait. Send with PTT ticks the PTT box first. The programming port's number
        // is disabled by the ticked box whether an exchange runs or not: no row of its own.
        for (const char *control : {"Prg Enable", "Send with PTT", "close window"})
            QTest::addRow("%s during PROGRAM", control) << QString::fromLatin1(control) << false;
        for (const char *control :
             {"PTT Comm", "Load", "other exchange", "calculator box", "context menu"})
            QTest::addRow("%s during READ", control) << QString::fromLatin1(control) << true;
    }

    // The programming port on this board (port 11), the PTT port number naming board B (port
    // 4). The control is used at the first pending-events turn after PROGRAM's third pause
    // (between its second and third blocks), or 100 ms after READ's second pause (in its data
    // wait).
    void controlsDuringAnExchange()
    {
        QFETCH(QString, control);
        QFETCH(bool, read);
        openWindow(pauses, realSerial);
        link::VirtualBoard boardB;
        QVERIFY(boardB.start());
        QVERIFY(QFile::link(boardB.devicePath(), folder.filePath(QStringLiteral("com4"))));
        form->show();
        ui.txtPttCom->setText(QStringLiteral("4"));
        enableOnBoard();
        ui.fillValidConfiguration();
        // A configuration file naming another programming port.
        BoardConfig config = form->config().fields();
        config.txtPrgComm = QStringLiteral("4");
        const QString otherPort = folder.filePath(QStringLiteral("other-port.prg"));
        QVERIFY(!saveConfigFile(otherPort, config));
        files.answers.push_back(otherPort);
        board->clearReceived();

        bool used = false;
        pauses.pause = read ? 2 : 3;
        pauses.delayMs = read ? 100 : 0;
        pauses.action = [&] {
            used = true;
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
                (read ? ui.cmdSend : ui.cmdRead)->click();
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
        };
        (read ? ui.cmdRead : ui.cmdSend)->click();
        QVERIFY(used);

        // Right after the exchange: it went whole to this board, nothing to board B. Identify,
        // header, blocks, read: the bytes themselves are tst_linksession's.
        QCOMPARE(board->closeCommands(), 0);
        QCOMPARE(form->dialog().info(), read ? ReadOk : ProgramOk);
        if (read)
            QCOMPARE(board->receivedBytes(), QByteArray("\xFF\xCC\xFF\xAA", 4));
        else
            QCOMPARE(board->receivedBytes().size(), 2 + 2 + 4 * 49 + 2);
        QCOMPARE(boardB.receivedBytes(), QByteArray());
        QVERIFY(files.requests.isEmpty());
        if (control == QLatin1String("calculator box")) // shown once the exchange is over
            QTRY_COMPARE(messages.shown.size(), qsizetype(1));

        if (control == QLatin1String("close window")) {
            // The close waited for the end of the exchange; now the board is told and let go.
            QTRY_VERIFY(!form->link().portOpen());
            QTRY_COMPARE(board->closeCommands(), 1);
            QVERIFY(!form->isVisible());
            return;
        }
        // Everything is back as it was before the exchange.
        QVERIFY(ui.chkPrg->isEnabled() && ui.chkPrg->isChecked());
        QVERIFY(ui.chkPtt->isEnabled() && !ui.chkPtt->isChecked());
        QCOMPARE(ui.txtPrgComm->text(), QStringLiteral("11"));
        QCOMPARE(ui.txtPttCom->text(), QStringLiteral("4"));
        QVERIFY(ui.txtPttCom->isEnabled());
        QVERIFY(ui.cmdLoad->isEnabled() && ui.cmdRead->isEnabled() && ui.cmdSend->isEnabled());
        waitForSendEnd();
        QVERIFY(form->close());
        QTRY_COMPARE(board->closeCommands(), 1);
        QCOMPARE(boardB.receivedBytes(), QByteArray());
    }
};

QTEST_MAIN(TestFaultLink)
#include "tst_fault_link.moc"
