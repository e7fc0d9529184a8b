// The port chooser beside the two port fields, over a fake port list: binding and re-binding
// through the comN links, the list following plugging, keyboard use, the fields' tooltips, and
// the reason given when a port does not open.
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

// Where Tab goes from `widget`.
QWidget *nextTabStop(QWidget *widget)
{
    QWidget *next = widget->nextInFocusChain();
    while (next != widget && !((next->focusPolicy() & Qt::TabFocus) && !next->isHidden()))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

class TestPortChooser : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void choosingBindsTheNumber_data();
    void choosingBindsTheNumber();
    void listFollowsPlugging();
    void keyboardOnly();
    void tooltipSaysWhatTheNumberMeans();
    void buttonFollowsTheField();
    void openFailureSaysWhy();

private:
    QLineEdit *field(const QString &which) const
    {
        return which == QLatin1String("prg") ? ui.txtPrgComm : ui.txtPttCom;
    }
    PortChooser *openChooser(const QString &which)
    {
        auto *button = which == QLatin1String("prg") ? ui.cmdChoosePrgPort : ui.cmdChoosePttPort;
        button->click();
        return form->findChild<PortChooser *>();
    }
    QString linkOf(int number) const
    {
        return QFileInfo(folder.filePath(QStringLiteral("com%1").arg(number))).symLinkTarget();
    }
};

void TestPortChooser::choosingBindsTheNumber_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("fieldText");
    QTest::addColumn<int>("alreadyBound"); // com<n> linked to /dev/ttyS9 before; 0: none
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("target");

    QTest::newRow("field's number, stable name") << "prg"
                                                 << "1" << 0 << 0 << 1 << ById;
    QTest::newRow("re-bind a taken number") << "prg"
                                            << "3" << 3 << 0 << 3 << ById;
    QTest::newRow("empty field: lowest free number, device without a stable name")
        << "ptt"
        << "" << 1 << 1 << 2 << "/dev/ttyACM0";
}

void TestPortChooser::choosingBindsTheNumber()
{
    QFETCH(QString, which);
    QFETCH(QString, fieldText);
    QFETCH(int, alreadyBound);
    QFETCH(int, row);
    QFETCH(int, number);
    QFETCH(QString, target);

    serial.ports.set({ftdi(), plain(QStringLiteral("/dev/ttyACM0"))});
    if (alreadyBound)
        QVERIFY(QFile::link(QStringLiteral("/dev/ttyS9"),
                            folder.filePath(QStringLiteral("com%1").arg(alreadyBound))));
    field(which)->setText(fieldText);
    PortChooser *chooser = openChooser(which);
    QVERIFY(chooser);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->numberBox()->value(), number);
    chooser->table()->setCurrentItem(chooser->table()->topLevelItem(row));
    chooser->buttons()->button(QDialogButtonBox::Ok)->click();

    QCOMPARE(linkOf(number), target);
    QCOMPARE(field(which)->text(), QString::number(number));
    QVERIFY(messages.shown.isEmpty());
}

void TestPortChooser::listFollowsPlugging()
{
    QVERIFY(QFile::link(ById, folder.filePath(QStringLiteral("com3"))));
    PortChooser *chooser = openChooser(QStringLiteral("prg"));
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

void TestPortChooser::keyboardOnly()
{
    serial.ports.set({plain(QStringLiteral("/dev/ttyACM0")), ftdi()});
    ui.txtPttCom->setText(QStringLiteral("2"));
    // Tab from the field reaches its button, and the button the Enable box.
    QCOMPARE(nextTabStop(ui.txtPttCom), ui.cmdChoosePttPort);
    QCOMPARE(nextTabStop(ui.cmdChoosePttPort), ui.chkPtt);
    QCOMPARE(nextTabStop(ui.txtPrgComm), ui.cmdChoosePrgPort);
    QVERIFY(!ui.cmdChoosePttPort->accessibleName().isEmpty());

    QTest::keyClick(ui.cmdChoosePttPort, Qt::Key_Space);
    PortChooser *chooser = form->findChild<PortChooser *>();
    QVERIFY(chooser);
    QCOMPARE(chooser->focusWidget(), chooser->table());
    QVERIFY(!chooser->table()->accessibleName().isEmpty());
    QVERIFY(!chooser->numberBox()->accessibleName().isEmpty());
    QCOMPARE(nextTabStop(chooser->table()), chooser->numberBox());
    QTest::keyClick(chooser->table(), Qt::Key_Down);
    QCOMPARE(chooser->chosenPort().device, QStringLiteral("/dev/ttyUSB0"));
    chooser->numberBox()->selectAll();
    QTest::keyClicks(chooser->numberBox(), QStringLiteral("12"));
    QTest::keyClick(chooser->numberBox(), Qt::Key_Return);
    QVERIFY(!form->findChild<PortChooser *>() || !form->findChild<PortChooser *>()->isVisible());
    QCOMPARE(ui.txtPttCom->text(), QStringLiteral("12"));
    QCOMPARE(linkOf(12), ById);
}

void TestPortChooser::tooltipSaysWhatTheNumberMeans()
{
    serial.ports.set({ftdi(), plain(QStringLiteral("/dev/ttyS0"))});
    QVERIFY(QFile::link(ById, folder.filePath(QStringLiteral("com3"))));
    ui.txtPrgComm->setText(QStringLiteral("3"));
    QCOMPARE(ui.txtPrgComm->toolTip(),
             QStringLiteral("Program Comm number (1-16)\n"
                            "COM3 \u2192 /dev/ttyUSB0, FT232R USB UART, serial A50285BI"));
    ui.txtPrgComm->setText(QStringLiteral("17"));
    QCOMPARE(ui.txtPrgComm->toolTip(), QStringLiteral("Program Comm number (1-16)"));
    ui.txtPrgComm->setText(QStringLiteral("3"));
    serial.ports.unplug(QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(ui.txtPrgComm->toolTip().endsWith(QStringLiteral("COM3 \u2192 not connected")));
    ui.txtPttCom->setText(QStringLiteral("3"));
    QCOMPARE(ui.txtPttCom->toolTip(),
             QStringLiteral("PTT Comm number (1-16)\nCOM3 \u2192 not connected"));
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
