// The programming port, PTT keying, the READ and PROGRAM buttons and the port chooser beside the
// two port fields, on a fake port and port list. The exchanges themselves are tst_linksession's;
// READ into the fields over a real line is tst_fault_link's.
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "app/PortChooser.h"
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "platform/QtSerialPort.h"
#include "support/TestWindow.h"

#include <QDialogButtonBox>
#include <QSpinBox>
#include <QTreeWidget>

using namespace keytoner;

namespace {

const QByteArray Identify("\xFF\xCC", 2);
const QByteArray Close("\xFF\x99", 2);

QByteArray identityLine(const QByteArray &text)
{
    return QByteArray("\xFF\xAA", 2) + text + "\r\n" + char(link::checksum(text));
}

const QString ById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

SerialPortEntry ftdi(const QString &device = "/dev/ttyUSB0")
{
    return {device, device.mid(5), "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001, ById};
}

SerialPortEntry plain(const QString &device)
{
    SerialPortEntry port;
    port.device = device;
    port.name = device.mid(5);
    port.description = "ttyACM";
    return port;
}

} // namespace

class TestLink : public QObject, public test::TestWindow {
    Q_OBJECT

    test::FakeSerial &port() { return *serial.last; }
    static constexpr bool Ptt = true;
    // Ticks the programming port's box, or with Ptt the PTT port's, for the number given.
    void enable(const QString &number = "3", bool ptt = false)
    {
        (ptt ? ui.txtPttCom : ui.txtPrgComm)->setText(number);
        (ptt ? ui.chkPtt : ui.chkPrg)->setChecked(true);
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void portNumberWarnings_data()
    {
        QTest::addColumn<bool>("ptt");
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("valid");
        QTest::newRow("0") << false << "0" << false;
        QTest::newRow("17") << false << "17" << false;
        QTest::newRow("1") << false << "1" << true;
        QTest::newRow("16") << false << "16" << true;
        QTest::newRow("PTT 17") << true << "17" << false;
    }

    // A rejected number leaves its box ticked on a closed port. A valid one takes the field
    // and its chooser until the untick, which sends the close command (not for PTT).
    void portNumberWarnings()
    {
        QFETCH(bool, ptt);
        QFETCH(QString, number);
        QFETCH(bool, valid);
        QLineEdit *field = ptt ? ui.txtPttCom : ui.txtPrgComm;
        QPushButton *chooser = ptt ? ui.cmdChoosePttPort : ui.cmdChoosePrgPort;
        QCheckBox *enabled = ptt ? ui.chkPtt : ui.chkPrg;
        enable(number, ptt);
        QVERIFY(enabled->isChecked());
        QCOMPARE(form->link().portOpen(), valid);
        QCOMPARE(port().openedDevices.size(), valid ? 1 : 0);
        QCOMPARE(ui.cmdRead->isEnabled(), valid);
        QCOMPARE(field->isEnabled(), !valid);
        QCOMPARE(chooser->isEnabled(), !valid);
        QCOMPARE(messages.shown.size(), valid ? 0 : 1);
        if (!valid) {
            QCOMPARE(messages.shown[0].text, "Please enter a valid Comm number.");
            QCOMPARE(messages.shown[0].title, "Warning");
            QCOMPARE(messages.shown[0].icon, MessageIcon::None);
        }
        enabled->setChecked(false);
        QCOMPARE(port().written(), valid ? Identify + Close : QByteArray());
        QVERIFY(!form->link().portOpen());
        QVERIFY(field->isEnabled() && chooser->isEnabled());
        QVERIFY(!ui.cmdRead->isEnabled() && !ui.cmdSend->isEnabled());
    }

    void portThatDoesNotOpen()
    {
        port().refuseOpen = true;
        enable("05");
        QCOMPARE(port().openedDevices, QStringList("/dev/ttyS4"));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, "Not able to open COM05");
        QCOMPARE(messages.shown[0].icon, MessageIcon::Information);
        QVERIFY(!ui.chkPrg->isChecked());
        QVERIFY(ui.txtPrgComm->isEnabled());
    }

    // One port event for the wiring (the texts of the others are the protocol's unit test),
    // then the board's identity.
    void boardAnnouncementsGoToTheDialog()
    {
        enable("03");
        MessageDialog &dialog = form->dialog();
        emit port().commEvent(3);
        QCOMPARE(dialog.info(), "Errore n.3 su COM03");
        QVERIFY(!dialog.isVisible());
        dialog.setOkVisible(false);
        port().feed(identityLine("Tonesentinel v2"));
        QCOMPARE(dialog.info(),
                 "Wrong version detected: Tonesentinel v2\r\nUse Tonesentinel  v2 !");
        QCOMPARE(dialog.infoColor(), QColor(255, 0, 0));
        QVERIFY(!dialog.okVisible());
        QVERIFY(dialog.isVisible());
        // Split over two arrivals: the parser keeps its state between them.
        const QByteArray line = identityLine("Tonesentinel  v2");
        port().feed(line.left(7));
        port().feed(line.mid(7));
        QCOMPARE(dialog.info(), "Tonesentinel  v2 detected.");
        QCOMPARE(dialog.infoColor(), QColor(0, 0, 0));
        QVERIFY(dialog.okVisible());
    }

    void pttAndProgrammingExcludeEachOther()
    {
        enable();
        enable("2", Ptt);
        QVERIFY(!ui.chkPrg->isChecked());
        QCOMPARE(port().openedDevices.last(), "/dev/ttyS1");
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

    // No close command to a vanished device; the box ticked again opens the port anew. The
    // lost PTT port is tst_fault_link's (portRemovedDuringAKeyedSend).
    void lostPortUntickItsBox()
    {
        enable();
        emit port().lost();
        QVERIFY(!ui.chkPrg->isChecked());
        QVERIFY(!form->link().portOpen());
        QVERIFY(ui.txtPrgComm->isEnabled());
        QVERIFY(!ui.cmdRead->isEnabled());
        QCOMPARE(port().written(), Identify);
        ui.chkPrg->setChecked(true);
        QVERIFY(form->link().portOpen());
        QCOMPARE(port().written(), Identify + Identify);
    }

    // PROGRAM refuses a configuration that fails validation before it writes anything. After
    // port errors the user may try again at once; the identity wait had not started:
    // announcements work as before.
    void refusalsAndPortErrorsDuringExchanges()
    {
        enable();
        ui.fillValidConfiguration();
        ui.txtMorseSpeed->setText("5");
        ui.cmdSend->click();
        QCOMPARE(port().written(), Identify);
        QCOMPARE(messages.shown.size(), 1); // the configuration's own warning
        QVERIFY(ui.cmdSend->isEnabled());

        ui.txtMorseSpeed->setText("20");
        port().failWrites = true;
        ui.cmdRead->click();
        ui.cmdSend->click();
        QCOMPARE(messages.shown.size(), 3);
        QCOMPARE(messages.shown[1].title, "DTMF");
        QCOMPARE(messages.shown[1].text, "Operation valid only when the port is open");
        QCOMPARE(messages.shown[1].icon, MessageIcon::None);
        QCOMPARE(messages.shown[2].title, "COM3");
        QVERIFY(ui.cmdRead->isEnabled() && ui.cmdSend->isEnabled());
        QVERIFY(form->link().session().ShowIdentity());
    }

    // The PTT port keys only while its box is ticked (unticked and ticked again unseen by the
    // window), and gets no close command at exit. The programming port's close command at exit
    // is tst_fault_link's (the close window row).
    void pttNeedsTheBoxAndClosesSilently()
    {
        enable("2", Ptt);
        {
            const QSignalBlocker blocker(ui.chkPtt);
            ui.chkPtt->setChecked(false);
            form->link().SetPtt(true);
            ui.chkPtt->setChecked(true);
        }
        QVERIFY(!port().rts());
        form->link().closeAtExit();
        QVERIFY(port().written().isEmpty());
        QVERIFY(!form->link().portOpen());
    }

    // By keyboard only, for the PTT field and a device without a stable name, bound by its
    // own path. An empty field is offered the lowest free number; the user types another. The
    // programming field and a stable name are tst_portchooser_flow's; re-binding a taken number is
    // portbinding_test's; tab order and names are tst_accessibility's.
    void chooserBindsTheNumber()
    {
        serial.ports.set({ftdi(), plain("/dev/ttyACM0")});
        QVERIFY(QFile::link("/dev/ttyS9", folder.filePath("com1")));
        ui.txtPttCom->clear();
        QTest::keyClick(ui.cmdChoosePttPort, Qt::Key_Space);
        PortChooser *chooser = form->findChild<PortChooser *>();
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->focusWidget(), chooser->table());
        QCOMPARE(chooser->numberBox()->value(), 2);
        QTest::keyClick(chooser->table(), Qt::Key_Down);
        QCOMPARE(chooser->chosenPort().device, "/dev/ttyACM0");
        chooser->numberBox()->selectAll();
        QTest::keyClicks(chooser->numberBox(), "12");
        QTest::keyClick(chooser->numberBox(), Qt::Key_Return);
        QCOMPARE(ui.txtPttCom->text(), "12");
        QCOMPARE(QFile::symLinkTarget(folder.filePath("com12")), "/dev/ttyACM0");
        QVERIFY(messages.shown.isEmpty());
    }

    void chooserListFollowsPlugging()
    {
        QVERIFY(QFile::link(ById, folder.filePath("com3")));
        ui.cmdChoosePrgPort->click();
        PortChooser *chooser = form->findChild<PortChooser *>();
        QTreeWidget *table = chooser->table();
        auto *ok = chooser->buttons()->button(QDialogButtonBox::Ok);
        QCOMPARE(table->topLevelItemCount(), 0);
        QVERIFY(!ok->isEnabled());
        QVERIFY(chooser->findChild<QLabel *>("portStatus")->text().contains("No serial port"));

        serial.ports.plug(plain("/dev/ttyACM0"));
        serial.ports.plug(ftdi("/dev/ttyUSB1"));
        QCOMPARE(table->topLevelItemCount(), 2);
        QStringList row;
        for (int column = 0; column < 6; ++column)
            row << table->topLevelItem(1)->text(column);
        QCOMPARE(row, QStringList({"3", "/dev/ttyUSB1", "FT232R USB UART", "FTDI", "A50285BI",
                                   "0403:6001"}));
        QVERIFY(ok->isEnabled());

        // The selection stays on its port while others come and go.
        table->setCurrentItem(table->topLevelItem(1));
        serial.ports.unplug("/dev/ttyACM0");
        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(chooser->chosenPort().device, "/dev/ttyUSB1");
        chooser->reject();
        QCOMPARE(QFile::symLinkTarget(folder.filePath("com3")), ById);
    }

    // The meanings themselves are portbinding_test's; here the first valid number, the first
    // invalid one, and the tip following the list.
    void tooltipSaysWhatTheNumberMeans()
    {
        QVERIFY(QFile::link(ById, folder.filePath("com1")));
        serial.ports.set({ftdi()}); // the field may show 1 already: the list's change refreshes
        ui.txtPrgComm->setText("1");
        QCOMPARE(ui.txtPrgComm->toolTip(),
                 QStringLiteral("Program Comm number (1-16)\n"
                                "COM1 \u2192 /dev/ttyUSB0, FT232R USB UART, serial A50285BI"));
        ui.txtPttCom->setText("17");
        QCOMPARE(ui.txtPttCom->toolTip(), "PTT Comm number (1-16)");
        serial.ports.set({});
        QVERIFY(ui.txtPrgComm->toolTip().endsWith("COM1 \u2192 not connected"));
    }

    // With the real serial driver: the first line as it always was, then what to do.
    void openFailureSaysWhy()
    {
        QtSerialPortFactory realSerial;
        openWindow(clock, realSerial);
        QVERIFY(QFile::link("/dev/serial/by-id/usb-unplugged-if00-port0", folder.filePath("com4")));
        enable("4", Ptt);
        QCOMPARE(messages.shown.size(), 1);
        const QStringList lines = messages.shown[0].text.split(u'\n');
        QCOMPARE(lines.value(0), "Not able to open COM4");
        QVERIFY(lines.value(2).contains("not plugged in"));
        QVERIFY(!ui.chkPtt->isChecked());
        form.reset();
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
