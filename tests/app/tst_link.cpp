// The programming port, PTT keying and the READ and PROGRAM buttons of the window, on a fake
// port. The exchanges themselves are tst_linksession's; READ into the fields over a real line is
// tst_fault_link's.
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "support/TestWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
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

} // namespace

class TestLink : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void portNumberWarnings_data();
    void portNumberWarnings();
    void portThatDoesNotOpen();
    void enableIdentifiesAndDisableSendsClose();
    void identityAnnouncements();
    void pttAndProgrammingExcludeEachOther();
    void pttRefusesAnInvalidNumber();
    void setPttNeedsTheBox();
    void portEventsGoToTheLabel();
    void lostPortUntickItsBox();
    void portErrorsDuringExchanges();
    void invalidConfigurationSendsNothing();
    void closeAtExitSendsCloseOnlyForProgramming();

private:
    FakeSerial &port() { return *serial.last; }
    void enable(const QString &number = QStringLiteral("3"));
};

void TestLink::enable(const QString &number)
{
    ui.txtPrgComm->setText(number);
    ui.chkPrg->setChecked(true);
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
    QCOMPARE(ui.txtPrgComm->isEnabled(), !valid);
    QCOMPARE(messages.shown.size(), valid ? 0 : 1);
    if (valid)
        return;
    QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
    QCOMPARE(messages.shown[0].text, QStringLiteral("Please enter a valid Comm number."));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    // Unticking from the rejected number writes nothing.
    ui.chkPrg->setChecked(false);
    QVERIFY(port().steps.isEmpty());
}

void TestLink::portThatDoesNotOpen()
{
    port().refuseOpen = true;
    enable(QStringLiteral("05"));
    QCOMPARE(port().openedDevices, QStringList(QStringLiteral("/dev/ttyS4")));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QStringLiteral("Not able to open COM05"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::Information);
    QVERIFY(!ui.chkPrg->isChecked());
    QVERIFY(ui.txtPrgComm->isEnabled());
}

void TestLink::enableIdentifiesAndDisableSendsClose()
{
    enable();
    QCOMPARE(port().written(), Identify);
    ui.chkPrg->setChecked(false);
    QCOMPARE(port().written(), Identify + Close);
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
    // Split over two arrivals: the parser keeps its state between them.
    const QByteArray line = identityLine("Tonesentinel  v2");
    port().feed(line.left(7));
    port().feed(line.mid(7));
    QCOMPARE(dialog.info(), QStringLiteral("Tonesentinel  v2 detected."));
    QCOMPARE(dialog.infoColor(), QColor(0, 0, 0));
    QVERIFY(dialog.okVisible());
}

void TestLink::pttAndProgrammingExcludeEachOther()
{
    enable();
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(!ui.chkPrg->isChecked());
    QCOMPARE(port().openedDevices.last(), QStringLiteral("/dev/ttyS1"));
    QVERIFY(!ui.txtPttCom->isEnabled());

    ui.chkPrg->setChecked(true);
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(ui.txtPttCom->isEnabled());
    // The PTT port closed before the programming port opened; no close command for PTT.
    QCOMPARE(port().written(), Identify + Close + Identify);

    // PROGRAM unticks PTT as well.
    ui.chkPrg->setChecked(false);
    ui.chkPtt->setChecked(true);
    form->link().cmdSend_Click();
    QVERIFY(!ui.chkPtt->isChecked());
    QVERIFY(!form->link().portOpen());
}

// The refused open of the PTT port is tst_portchooser's (openFailureSaysWhy).
void TestLink::pttRefusesAnInvalidNumber()
{
    ui.txtPttCom->setText(QStringLiteral("17"));
    ui.chkPtt->setChecked(true);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QStringLiteral("Please enter a valid Comm number."));
    QVERIFY(port().openedDevices.isEmpty());
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

// One event for the wiring; the texts of the others are the protocol's unit test.
void TestLink::portEventsGoToTheLabel()
{
    enable(QStringLiteral("03"));
    emit port().commEvent(3);
    QCOMPARE(form->dialog().info(), QStringLiteral("Errore n.3 su COM03"));
    QVERIFY(!form->dialog().isVisible());
}

// The lost PTT port is tst_fault_link's (portRemovedDuringAKeyedSend).
void TestLink::lostPortUntickItsBox()
{
    enable();
    emit port().lost();
    QVERIFY(!ui.chkPrg->isChecked());
    QVERIFY(!form->link().portOpen());
    QVERIFY(ui.txtPrgComm->isEnabled());
    QVERIFY(!ui.cmdRead->isEnabled());
    QCOMPARE(port().written(), Identify); // no close command to a vanished device
}

void TestLink::portErrorsDuringExchanges()
{
    enable();
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

QTEST_MAIN(TestLink)
#include "tst_link.moc"
