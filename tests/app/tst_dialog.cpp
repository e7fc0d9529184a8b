// The "Program Parameters" dialog: its look, modeless showing over the main window, and closing
// that only hides it.
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
    void cleanup();

    void looksAsTheLinkExpects();
    void showsModelessCentredOverTheMainWindow();
    void closeBoxAndOkOnlyHide();
    void goesAwayWithTheMainWindow();

private:
};

void TestDialog::init()
{
    openWindow();
    form->move(40, 30);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestDialog::cleanup()
{
    closeWindow();
}

void TestDialog::looksAsTheLinkExpects()
{
    MessageDialog &dialog = form->dialog();
    QCOMPARE(dialog.parentWidget(), form.get());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed border
    QVERIFY(dialog.lblInfo->wordWrap());
}

void TestDialog::showsModelessCentredOverTheMainWindow()
{
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const QPoint offset = dialog.frameGeometry().center() - form->frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
    // The main window still takes input meanwhile.
    QVERIFY(form->isEnabled());
}

void TestDialog::closeBoxAndOkOnlyHide()
{
    QPointer<MessageDialog> dialog = &form->dialog();
    dialog->setInfo("Board found");
    dialog->showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.data()));
    // The window system's close request, as the close box sends it.
    dialog->windowHandle()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(!dialog->isVisible());
    // A close through the widget is no different.
    dialog->showModeless();
    QVERIFY(!dialog->close());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(&form->dialog(), dialog.data());
    QCOMPARE(dialog->info(), QString("Board found"));
    QVERIFY(form->isVisible());
    dialog->showModeless();
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void TestDialog::goesAwayWithTheMainWindow()
{
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // It never keeps the program running on its own.
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(form->close());
    QVERIFY(!dialog.isVisible());
    for (const QWindow *shown : QGuiApplication::topLevelWindows())
        QVERIFY(!shown->isVisible() || shown->transientParent());
    // The next exchange, with the window back, shows it again.
    form->show();
    dialog.showModeless();
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
