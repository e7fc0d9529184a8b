// The "Program Parameters" dialog: its look, modeless showing over the main window, and every
// way of putting it away, which only hides it.
#include "app/FormTone.h"
#include "app/MessageDialog.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using namespace keytoner;

class TestDialog : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { closeWindow(); }

    void showsModelessCentredOverTheMainWindow();
    void everyWayAwayOnlyHides_data();
    void everyWayAwayOnlyHides();
    void goesAwayWithTheMainWindow();
};

void TestDialog::init()
{
    openWindow();
    form->move(40, 30);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestDialog::showsModelessCentredOverTheMainWindow()
{
    MessageDialog &dialog = form->dialog();
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed border
    QVERIFY(dialog.lblInfo->wordWrap());
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const QPoint offset = dialog.frameGeometry().center() - form->frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestDialog::everyWayAwayOnlyHides_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Return") << "Return";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("OK") << "OK";
    QTest::newRow("close box") << "close box"; // the window system's close request
}

// While an exchange runs there is nothing to press; when its result is ready the focus waits on
// OK. The dialog stays for the next exchange, with what it showed.
void TestDialog::everyWayAwayOnlyHides()
{
    QFETCH(QString, way);
    QPointer<MessageDialog> dialog = &form->dialog();
    dialog->setOkVisible(false);
    dialog->setInfo("Board found");
    dialog->showModeless();
    QVERIFY(QTest::qWaitForWindowActive(dialog.data()));
    dialog->setOkVisible(true);
    QCOMPARE(dialog->focusWidget(), dialog->OKButton);
    if (way == "close box")
        dialog->windowHandle()->close();
    else if (way == "OK")
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    else
        QTest::keyClick(dialog->OKButton, way == "Return" ? Qt::Key_Return : Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->info(), QString("Board found"));
    QVERIFY(form->isVisible());
}

// It never keeps the program running on its own.
void TestDialog::goesAwayWithTheMainWindow()
{
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(form->close());
    QVERIFY(!dialog.isVisible());
    for (const QWindow *shown : QGuiApplication::topLevelWindows())
        QVERIFY(!shown->isVisible() || shown->transientParent());
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
