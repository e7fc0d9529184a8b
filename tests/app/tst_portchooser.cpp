// The port chooser beside the two port fields, over a fake port list: binding through the comN
// links, the list following plugging, keyboard use, the fields' tooltips, and the reason given
// when a port does not open.
#include "app/FormTone.h"
#include "app/PortChooser.h"
#include "app/PortPanel.h"
#include "platform/QtSerialPort.h"
#include "support/TestWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

using namespace keytoner;

namespace {

const QString ById =
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

SerialPortEntry ftdi(const QString &device = QStringLiteral("/dev/ttyUSB0"))
{
    return {device, device.mid(5), "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001, ById};
}

SerialPortEntry plain(const QString &device)
{
    SerialPortEntry port;
    port.device = device;
    port.name = device.mid(5);
    port.description = QStringLiteral("ttyACM");
    return port;
}

} // namespace

class TestPortChooser : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void choosingBindsTheNumber();
    void listFollowsPlugging();
    void keyboardOnly();
    void tooltipSaysWhatTheNumberMeans();
    void buttonFollowsTheField();
    void openFailureSaysWhy();

private:
    PortChooser *openChooser(QPushButton *button)
    {
        button->click();
        return form->findChild<PortChooser *>();
    }
    QString linkOf(int number) const
    {
        return QFileInfo(folder.filePath(QStringLiteral("com%1").arg(number))).symLinkTarget();
    }
};

// The programming field, a stable name and the lowest free number are tst_portchooser_flow's;
// re-binding a taken number is portbinding_test's. Here the PTT field and a device without a
// stable name, bound by its own path.
void TestPortChooser::choosingBindsTheNumber()
{
    serial.ports.set({ftdi(), plain(QStringLiteral("/dev/ttyACM0"))});
    QVERIFY(QFile::link(QStringLiteral("/dev/ttyS9"), folder.filePath(QStringLiteral("com1"))));
    ui.txtPttCom->clear();
    PortChooser *chooser = openChooser(ui.cmdChoosePttPort);
    QVERIFY(chooser && chooser->isVisible());
    QCOMPARE(chooser->numberBox()->value(), 2);
    chooser->table()->setCurrentItem(chooser->table()->topLevelItem(1));
    chooser->buttons()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(linkOf(2), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(ui.txtPttCom->text(), QStringLiteral("2"));
    QVERIFY(messages.shown.isEmpty());
}

void TestPortChooser::listFollowsPlugging()
{
    QVERIFY(QFile::link(ById, folder.filePath(QStringLiteral("com3"))));
    PortChooser *chooser = openChooser(ui.cmdChoosePrgPort);
    QTreeWidget *table = chooser->table();
    auto *ok = chooser->buttons()->button(QDialogButtonBox::Ok);
    QCOMPARE(table->topLevelItemCount(), 0);
    QVERIFY(!ok->isEnabled());
    QVERIFY(chooser->findChild<QLabel *>(QStringLiteral("portStatus"))
                ->text()
                .contains("No serial port"));

    serial.ports.plug(plain(QStringLiteral("/dev/ttyACM0")));
    serial.ports.plug(ftdi(QStringLiteral("/dev/ttyUSB1")));
    QCOMPARE(table->topLevelItemCount(), 2);
    const QStringList expected{"3",    "/dev/ttyUSB1", "FT232R USB UART",
                               "FTDI", "A50285BI",     "0403:6001"};
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(table->topLevelItem(1)->text(column), expected[column]);
    QVERIFY(ok->isEnabled());

    // The selection stays on its port while others come and go.
    table->setCurrentItem(table->topLevelItem(1));
    serial.ports.unplug(QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(table->topLevelItemCount(), 1);
    QCOMPARE(chooser->chosenPort().device, QStringLiteral("/dev/ttyUSB1"));
    chooser->reject();
    QCOMPARE(linkOf(3), ById);
}

// Tab order and names are tst_accessibility's.
void TestPortChooser::keyboardOnly()
{
    serial.ports.set({plain(QStringLiteral("/dev/ttyACM0")), ftdi()});
    QTest::keyClick(ui.cmdChoosePttPort, Qt::Key_Space);
    PortChooser *chooser = form->findChild<PortChooser *>();
    QVERIFY(chooser);
    QCOMPARE(chooser->focusWidget(), chooser->table());
    QTest::keyClick(chooser->table(), Qt::Key_Down);
    QCOMPARE(chooser->chosenPort().device, QStringLiteral("/dev/ttyUSB0"));
    chooser->numberBox()->selectAll();
    QTest::keyClicks(chooser->numberBox(), QStringLiteral("12"));
    QTest::keyClick(chooser->numberBox(), Qt::Key_Return);
    QCOMPARE(ui.txtPttCom->text(), QStringLiteral("12"));
    QCOMPARE(linkOf(12), ById);
}

// The meanings themselves are portbinding_test's; here the first valid number, the first
// invalid one, and the tip following the list.
void TestPortChooser::tooltipSaysWhatTheNumberMeans()
{
    QVERIFY(QFile::link(ById, folder.filePath(QStringLiteral("com1"))));
    serial.ports.set({ftdi()}); // the field may show 1 already: the list's change refreshes
    ui.txtPrgComm->setText(QStringLiteral("1"));
    QCOMPARE(ui.txtPrgComm->toolTip(),
             QStringLiteral("Program Comm number (1-16)\n"
                            "COM1 \u2192 /dev/ttyUSB0, FT232R USB UART, serial A50285BI"));
    ui.txtPttCom->setText(QStringLiteral("17"));
    QCOMPARE(ui.txtPttCom->toolTip(), QStringLiteral("PTT Comm number (1-16)"));
    serial.ports.set({});
    QVERIFY(ui.txtPrgComm->toolTip().endsWith(QStringLiteral("COM1 \u2192 not connected")));
}

void TestPortChooser::buttonFollowsTheField()
{
    ui.txtPrgComm->setText(QStringLiteral("2"));
    ui.chkPrg->setChecked(true);
    QVERIFY(!ui.txtPrgComm->isEnabled());
    QVERIFY(!ui.cmdChoosePrgPort->isEnabled());
    ui.chkPrg->setChecked(false);
    QVERIFY(ui.cmdChoosePrgPort->isEnabled());
}

// With the real serial driver: the first line as it always was, then what to do.
void TestPortChooser::openFailureSaysWhy()
{
    QtSerialPortFactory realSerial;
    openWindow(clock, realSerial);
    QVERIFY(QFile::link(QStringLiteral("/dev/serial/by-id/usb-unplugged-if00-port0"),
                        folder.filePath(QStringLiteral("com4"))));
    ui.txtPttCom->setText(QStringLiteral("4"));
    ui.chkPtt->setChecked(true);
    QCOMPARE(messages.shown.size(), 1);
    const QStringList lines = messages.shown[0].text.split(u'\n');
    QCOMPARE(lines.value(0), QStringLiteral("Not able to open COM4"));
    QVERIFY(lines.value(2).contains(QStringLiteral("not plugged in")));
    QVERIFY(!ui.chkPtt->isChecked());
    form.reset();
}

QTEST_MAIN(TestPortChooser)
#include "tst_portchooser.moc"
