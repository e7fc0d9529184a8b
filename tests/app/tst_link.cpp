// The programming port, PTT keying and the READ and PROGRAM buttons of the window: with a fake
// port for the rules, and end to end against the virtual board through a comN link.
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "app/SenderPanel.h"
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace keytoner;
using test::FakeSerial;

namespace {

const QByteArray Identify("\xFF\xCC", 2);
const QByteArray Close("\xFF\x99", 2);

QByteArray identityLine(const QByteArray &text)
{
    return QByteArray("\xFF\xAA", 2) + text + "\r\n" + char(link::checksum(text));
}

// Sleeps are recorded with what the port and the sound output had seen by then.
class TimelineClock : public test::FakeClock {
public:
    void sleepMs(int ms) override
    {
        FakeClock::sleepMs(ms);
        const FakeSerial *port = serial ? serial->last : nullptr;
        timeline.append(QStringLiteral("sleep %1 rts=%2 played=%3")
                            .arg(ms)
                            .arg(port && port->rts())
                            .arg(audio ? audio->calls.count(QStringLiteral("write")) : 0));
    }
    test::FakeSerialFactory *serial = nullptr;
    test::FakeAudioSystem *audio = nullptr;
    QStringList timeline;
};

} // namespace

class TestLink : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void portNumberWarnings_data();
    void portNumberWarnings();
    void portThatDoesNotOpen();
    void enableIdentifiesAndDisableSendsClose();
    void identityAnnouncements();
    void pttAndProgrammingExcludeEachOther();
    void pttInvalidNumberAndMissingPort();
    void pttKeysAroundTheTones();
    void setPttNeedsTheBox();
    void portEventsGoToTheLabel();
    void lostPortUntickItsBox();
    void portErrorsDuringExchanges();
    void invalidConfigurationSendsNothing();
    void closeAtExitSendsCloseOnlyForProgramming();

    void boardEndToEnd();

private:
    FakeSerial &port() { return *serial.last; }
    void enable(const QString &number = QStringLiteral("3"));
    void enableOnBoard(link::VirtualBoard &board, const QString &number);

    TimelineClock timelineClock;
    QtSerialPortFactory realSerial;
    SystemClock realClock;
};

void TestLink::init()
{
    timelineClock.serial = &serial;
    timelineClock.audio = &audio;
    openWindow(timelineClock, serial);
    timelineClock.sleeps.clear();
    timelineClock.timeline.clear();
}

void TestLink::cleanup()
{
    closeWindow();
}

void TestLink::enable(const QString &number)
{
    ui.txtPrgComm->setText(number);
    ui.chkPrg->setChecked(true);
}

// The window with the real serial driver, the virtual board behind folder/comN, and the
// programming port enabled on it.
void TestLink::enableOnBoard(link::VirtualBoard &board, const QString &number)
{
    openWindow(realClock, realSerial);
    QVERIFY(board.start());
    QVERIFY(QFile::link(board.devicePath(), folder.filePath(QStringLiteral("com") + number)));
    enable(number);
    QVERIFY(form->link().portOpen());
    QSignalSpy frames(&form->link().session(), &link::LinkSession::frameHandled);
    QVERIFY(frames.wait(2000)); // the board's identity
    QCOMPARE(form->dialog().info(), QStringLiteral("Tonesentinel  v2 detected."));
}

void TestLink::portNumberWarnings_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("valid");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("17") << "17" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("16") << "16" << true;
}

void TestLink::portNumberWarnings()
{
    QFETCH(QString, number);
    QFETCH(bool, valid);
    enable(number);
    QVERIFY(ui.chkPrg->isChecked());
    QCOMPARE(form->link().portOpen(), valid);
    QCOMPARE(ui.cmdRead->isEnabled(), valid);
    QCOMPARE(ui.cmdSend->isEnabled(), valid);
    QCOMPARE(ui.txtPrgComm->isEnabled(), !valid);
    if (valid) {
        QVERIFY(messages.shown.isEmpty());
        return;
    }
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
    QCOMPARE(messages.shown[0].text, QStringLiteral("Please enter a valid Comm number."));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    // Unticking from the rejected number writes nothing.
    ui.chkPrg->setChecked(false);
    QVERIFY(port().steps.isEmpty());
}

void TestLink::portThatDoesNotOpen()
{
    // Port creation happens with the window; refuse before ticking.
    port().refuseOpen = true;
    enable(QStringLiteral("05"));
    QCOMPARE(port().openedDevices.size(), 1);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QStringLiteral("Not able to open COM05"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::Information);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
    QVERIFY(!ui.chkPrg->isChecked());
    QVERIFY(ui.txtPrgComm->isEnabled());
    QVERIFY(!ui.cmdRead->isEnabled());
    // COM05 is the standard port; a comN link in the program folder stands in for COMN.
    QFile::link(QStringLiteral("/dev/null"), folder.filePath(QStringLiteral("com7")));
    enable(QStringLiteral("7"));
    QCOMPARE(port().openedDevices,
             QStringList({QStringLiteral("/dev/ttyS4"), folder.filePath(QStringLiteral("com7"))}));
}

void TestLink::enableIdentifiesAndDisableSendsClose()
{
    enable();
    QCOMPARE(port().written(), Identify);
    QVERIFY(!port().rts());
    ui.chkPrg->setChecked(false);
    QCOMPARE(port().written(), Identify + Close);
    QVERIFY(!form->link().portOpen());
    QCOMPARE(port().steps.last().kind, FakeSerial::Step::Close);
    QVERIFY(ui.txtPrgComm->isEnabled());
    QVERIFY(!ui.cmdRead->isEnabled() && !ui.cmdSend->isEnabled());
}

void TestLink::identityAnnouncements()
{
    enable();
    MessageDialog &dialog = form->dialog();
    dialog.setOkVisible(false);
    port().feed(identityLine("Tonesentinel v2"));
    QCOMPARE(dialog.info(),
             QStringLiteral("Wrong version detected: Tonesentinel v2\r\nUse Tonesentinel  v2 !"));
    QCOMPARE(dialog.infoColor(), QColor(255, 0, 0));
    QVERIFY(!dialog.okVisible());
    QVERIFY(dialog.isVisible());
    // Split over two arrivals, CR LF or not: the parser keeps its state between them.
    const QByteArray line = identityLine("Tonesentinel  v2");
    port().feed(line.left(7));
    port().feed(line.mid(7));
    QCOMPARE(dialog.info(), QStringLiteral("Tonesentinel  v2 detected."));
    QCOMPARE(dialog.infoColor(), QColor(0, 0, 0));
    QVERIFY(dialog.okVisible());
}

void TestLink::pttAndProgrammingExcludeEachOther()
{
    enable(QStringLiteral("3"));
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(!ui.chkPrg->isChecked());
    QCOMPARE(port().written(), Identify + Close);
    QCOMPARE(port().openedDevices.last(), QStringLiteral("/dev/ttyS1"));
    QVERIFY(form->link().portOpen());
    QVERIFY(!ui.txtPttCom->isEnabled());
    QVERIFY(ui.txtPrgComm->isEnabled());

    ui.chkPrg->setChecked(true);
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(ui.txtPttCom->isEnabled());
    QCOMPARE(port().openedDevices.last(), QStringLiteral("/dev/ttyS2"));
    // The PTT port closed before the programming port opened; no close command for PTT.
    QCOMPARE(port().written(), Identify + Close + Identify);

    // PROGRAM unticks PTT as well.
    ui.chkPrg->setChecked(false);
    ui.chkPtt->setChecked(true);
    form->link().cmdSend_Click();
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(!form->link().portOpen());
}

void TestLink::pttInvalidNumberAndMissingPort()
{
    ui.txtPttCom->setText(QStringLiteral("17"));
    ui.chkPtt->setChecked(true);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QStringLiteral("Please enter a valid Comm number."));
    QVERIFY(ui.chkPtt->isChecked());
    QVERIFY(ui.txtPttCom->isEnabled());
    QVERIFY(port().openedDevices.isEmpty());
    ui.chkPtt->setChecked(false);

    port().refuseOpen = true;
    ui.txtPttCom->setText(QStringLiteral("4"));
    ui.chkPtt->setChecked(true);
    QCOMPARE(messages.shown.last().text, QStringLiteral("Not able to open COM4"));
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(ui.txtPttCom->isEnabled());
}

void TestLink::pttKeysAroundTheTones()
{
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    // RTS stays low from the opening on.
    QVERIFY(!port().rts());
    for (const auto &step : port().steps)
        QVERIFY(step.kind != FakeSerial::Step::Rts || !step.on);

    ui.Text1->setText(QStringLiteral("12"));
    ui.txtTxd->setText(QStringLiteral("250"));
    form->sender().cmdTone_Click();
    waitForSendEnd();
    QCOMPARE(timelineClock.timeline, QStringList({QStringLiteral("sleep 250 rts=1 played=0"),
                                                  QStringLiteral("sleep 40 rts=1 played=1")}));
    QVERIFY(!port().rts());
    QList<bool> rtsChanges;
    for (const auto &step : port().steps)
        if (step.kind == FakeSerial::Step::Rts)
            rtsChanges.append(step.on);
    QCOMPARE(rtsChanges, QList<bool>({true, false}));
}

void TestLink::setPttNeedsTheBox()
{
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    {
        const QSignalBlocker blocker(ui.chkPtt);
        ui.chkPtt->setChecked(false);
    }
    form->link().SetPtt(true);
    QVERIFY(!port().rts());
}

void TestLink::portEventsGoToTheLabel()
{
    enable(QStringLiteral("03"));
    emit port().commEvent(3);
    QCOMPARE(form->dialog().info(), QStringLiteral("Errore n.3 su COM03"));
    emit port().commEvent(CommEvent::Frame);
    QCOMPARE(form->dialog().info(), QStringLiteral("Comm Frame Error"));
    QVERIFY(!form->dialog().isVisible());
}

void TestLink::lostPortUntickItsBox()
{
    enable();
    emit port().commEvent(CommEvent::InputOutput);
    emit port().lost();
    QVERIFY(!ui.chkPrg->isChecked());
    QVERIFY(!form->link().portOpen());
    QVERIFY(ui.txtPrgComm->isEnabled());
    QVERIFY(!ui.cmdRead->isEnabled());
    QCOMPARE(port().written(), Identify); // no close command to a vanished device
    QCOMPARE(form->dialog().info(), QStringLiteral("Errore n.1007 su COM3"));

    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    emit port().lost();
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(ui.txtPttCom->isEnabled());
}

void TestLink::portErrorsDuringExchanges()
{
    enable(QStringLiteral("3"));
    port().failWrites = true;
    ui.cmdRead->click();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("DTMF"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QCOMPARE(messages.shown[0].text, QStringLiteral("Operation valid only when the port is open"));
    QVERIFY(ui.cmdRead->isEnabled()); // the user may try again at once

    fillValidConfiguration();
    ui.cmdSend->click();
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(messages.shown[1].title, QStringLiteral("COM3"));
    QVERIFY(ui.cmdSend->isEnabled());
    // The identity wait had not started: announcements work as before.
    QVERIFY(form->link().session().ShowIdentity());
}

void TestLink::invalidConfigurationSendsNothing()
{
    enable();
    fillValidConfiguration();
    ui.txtMorseSpeed->setText(QStringLiteral("5"));
    ui.cmdSend->click();
    QCOMPARE(port().written(), Identify);
    QCOMPARE(messages.shown.size(), 1); // the configuration's own warning
    QVERIFY(ui.cmdSend->isEnabled());
}

void TestLink::closeAtExitSendsCloseOnlyForProgramming()
{
    enable();
    form->link().closeAtExit();
    QCOMPARE(port().written(), Identify + Close);
    QVERIFY(!form->link().portOpen());

    ui.chkPrg->setChecked(false);
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    form->link().closeAtExit();
    QCOMPARE(port().written(), Identify + Close);
    QVERIFY(!form->link().portOpen());
}

// The window with the real serial driver and the virtual board behind folder/com9: what a READ
// brings lands in the fields. PROGRAM over a real line, and its faults, are tst_fault_link's.
void TestLink::boardEndToEnd()
{
    link::VirtualBoard board;
    enableOnBoard(board, QStringLiteral("9"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(form->dialog().isVisible());

    form->dialog().OKButton_Click();
    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(), QStringLiteral("Data from Tonesentinel  v2 successfully read"));
    QCOMPARE(form->link().RxImage, board.image());
    QCOMPARE(ui.txtCallID->text(), QStringLiteral("TEST"));
    QCOMPARE(ui.txtMem[0]->text(), QStringLiteral("11"));
    QCOMPARE(ui.txtSeqCmd->text(), QStringLiteral("123"));
    QVERIFY(ui.cmdRead->isEnabled());
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
