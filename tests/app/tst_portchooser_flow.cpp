// A new user's road to a detected board, through the window only: an empty program folder, a
// USB adapter (the virtual board of keytoner-cli simulate on a pseudo-terminal, with the stable
// link udev would make), the chooser beside Prg Comm, Enable, "Tonesentinel  v2 detected.".
//
// With KEYTONER_SCREENSHOT_DIR set (docs/make-port-screenshots.sh runs it on a virtual X
// display), the chooser and the window after binding are saved there
// (screenshot-port-chooser<KEYTONER_SCREENSHOT_SUFFIX>.png, screenshot-port-bound<...>.png).
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "app/PortChooser.h"
#include "link/LinkSession.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSerialPortList.h"
#include "support/TestWindow.h"

#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>

using namespace keytoner;

namespace {

// The machine's serial ports, with the stable links looked for in a folder of the test's.
struct AdapterSerial : QtSerialPortFactory {
    explicit AdapterSerial(const QString &stableNames) : list(stableNames) {}
    SerialPortList &portList() override { return list; }
    QtSerialPortList list;
};

// Saves `widget` as docs/make-port-screenshots.sh asks.
void saveScreenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("KEYTONER_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QTest::qWait(300); // let the X server paint it
    const QString file = QStringLiteral("screenshot-%1%2.png")
                             .arg(name, qEnvironmentVariable("KEYTONER_SCREENSHOT_SUFFIX"));
    QVERIFY(widget->grab().save(QDir(folder).filePath(file)));
}

} // namespace

class TestPortChooserFlow : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void fromEmptyFolderToDetectedBoard()
    {
        QProcess board;
        board.start(QStringLiteral(KEYTONER_CLI), {QStringLiteral("simulate")});
        QVERIFY(board.waitForReadyRead(10000));
        const QString device = QString::fromLocal8Bit(board.readLine()).trimmed();

        QTemporaryDir udev;
        const QString byId = udev.filePath(QStringLiteral("serial/by-id"));
        QVERIFY(QDir().mkpath(byId));
        const QString stable =
            QDir(byId).filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        QVERIFY(QFile::link(device, stable));

        AdapterSerial serialPorts(byId);
        clock.realSleeps = true;
        openWindow(clock, serialPorts);
        QVERIFY(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        QTest::mouseClick(ui.cmdChoosePrgPort, Qt::LeftButton);
        auto *chooser = form->findChild<PortChooser *>();
        QVERIFY(chooser);
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        QTreeWidget *table = chooser->table();

        // A second adapter comes and goes while the list is open.
        const int before = table->topLevelItemCount();
        link::VirtualBoard other;
        QVERIFY(other.start());
        const QString secondLink =
            QDir(byId).filePath(QStringLiteral("usb-Prolific_PL2303-if00-port0"));
        QSignalSpy listChanged(&serialPorts.portList(), &SerialPortList::changed);
        QVERIFY(QFile::link(other.devicePath(), secondLink));
        QVERIFY(listChanged.wait());
        QCOMPARE(table->topLevelItemCount(), before + 1);
        QVERIFY(QFile::remove(secondLink));
        QVERIFY(listChanged.wait());
        QCOMPARE(table->topLevelItemCount(), before);

        // Down the list to the adapter, as a user would.
        for (int i = 0; i < table->topLevelItemCount() && chooser->chosenPort().device != device;
             ++i)
            QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(chooser->chosenPort().stableName, stable);

        saveScreenshot(chooser, QStringLiteral("port-chooser"));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(ui.txtPrgComm->text(), QStringLiteral("1"));
        QCOMPARE(QFileInfo(folder.filePath(QStringLiteral("com1"))).symLinkTarget(), stable);
        QVERIFY(
            ui.txtPrgComm->toolTip().endsWith(QStringLiteral("COM1 \u2192 ") + device +
                                              QStringLiteral(", FTDI FT232R USB UART A50285BI")));

        saveScreenshot(form.get(), QStringLiteral("port-bound"));

        QTest::mouseClick(ui.chkPrg, Qt::LeftButton);
        QVERIFY(ui.chkPrg->isChecked());
        QSignalSpy frames(&form->link().session(), &link::LinkSession::frameHandled);
        QVERIFY(frames.wait(3000)); // the board's identity
        QCOMPARE(form->dialog().info(), QStringLiteral("Tonesentinel  v2 detected."));
        QVERIFY(messages.shown.isEmpty());

        ui.chkPrg->setChecked(false);
        form.reset();
        board.terminate();
        QVERIFY(board.waitForFinished(5000));
    }
};

QTEST_MAIN(TestPortChooserFlow)
#include "tst_portchooser_flow.moc"
