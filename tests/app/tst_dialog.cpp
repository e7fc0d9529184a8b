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
    void closeBoxOnlyHides();
    void okHidesAndTheNextExchangeShowsItAgain();
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
    QCOMPARE(dialog.objectName(), QString("Dialog"));
    QCOMPARE(dialog.windowTitle(), QString("Program Parameters"));
    QCOMPARE(dialog.parentWidget(), form.get());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed border

    QVERIFY(dialog.lblInfo->font().bold());
    QCOMPARE(dialog.lblInfo->font().pointSizeF(), 13.5);
    QVERIFY(dialog.lblInfo->wordWrap());
    dialog.setInfo("Reading...\nplease wait");
    QCOMPARE(dialog.info(), QString("Reading...\nplease wait"));
    dialog.setInfo(dialog.info() + ".");
    QCOMPARE(dialog.info(), QString("Reading...\nplease wait."));
    QCOMPARE(dialog.infoColor(), QColor(Qt::black));
    dialog.setInfoColor(Qt::red);
    QCOMPARE(dialog.infoColor(), QColor(Qt::red));

    dialog.showModeless();
    dialog.setOkVisible(false);
    QVERIFY(!dialog.okVisible());
    QVERIFY(!dialog.OKButton->isVisible());
    dialog.setOkVisible(true);
    QVERIFY(dialog.okVisible());
    QVERIFY(dialog.OKButton->isVisible());
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

void TestDialog::closeBoxOnlyHides()
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
}

void TestDialog::okHidesAndTheNextExchangeShowsItAgain()
{
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    dialog.setInfo("Tonesentinel  v2");
    dialog.showModeless();
    QVERIFY(dialog.isVisible());
    QCOMPARE(&form->dialog(), &dialog);
}

void TestDialog::goesAwayWithTheMainWindow()
{
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // It never keeps the program running on its own.
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    form->hide();
    QVERIFY(!dialog.isVisible());
    // The next exchange, with the window back, shows it again.
    form->show();
    dialog.showModeless();
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
