// The main window and its dialogs as a screen reader and a keyboard reach them: every input
// control named, labels tied to their fields, Tab along the layout; and the "Program
// Parameters" dialog: its look, modeless showing over the main window, and every way of putting
// it away, which only hides it.
#include "app/FormTone.h"
#include "app/ListenWindow.h"
#include "app/MessageDialog.h"
#include "app/WindowAccessibility.h"
#include "support/TestWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

using namespace keytoner;

namespace {

QString spokenText(QWidget *widget, QAccessible::Text kind)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(kind) : QString();
}

bool isInputControl(QWidget *widget)
{
    return qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) ||
           qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSpinBox *>(widget) ||
           qobject_cast<QAbstractSlider *>(widget) || qobject_cast<QTextEdit *>(widget) ||
           qobject_cast<QPlainTextEdit *>(widget) || qobject_cast<QAbstractItemView *>(widget);
}

// The scroll buttons of a tab bar, the editor inside a spin box: parts that their control
// speaks for.
bool isPartOfAControl(QWidget *widget, QWidget *window)
{
    for (QWidget *up = widget->parentWidget(); up && up != window; up = up->parentWidget())
        if (qobject_cast<QTabBar *>(up) || qobject_cast<QAbstractSpinBox *>(up) ||
            qobject_cast<QComboBox *>(up) || qobject_cast<QAbstractScrollArea *>(up))
            return true;
    return false;
}

QString tabStopName(QWidget *widget)
{
    if (qobject_cast<QTabBar *>(widget))
        return widget->parentWidget()->objectName() + QStringLiteral(" tabs");
    return widget->objectName();
}

// Where Tab takes the focus on the page shown, once round from the page tabs.
QStringList tabCycle(QWidget *window, QWidget *start)
{
    start->setFocus();
    QStringList names{tabStopName(start)};
    for (int stop = 0; stop < 100; ++stop) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        if (window->focusWidget() == start)
            break;
        names.append(tabStopName(window->focusWidget()));
    }
    return names;
}

} // namespace

class TestAccessibility : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void everyInputControlHasItsOwnName_data();
    void everyInputControlHasItsOwnName();
    void fieldsAreNamedForWhatTheyHold_data();
    void fieldsAreNamedForWhatTheyHold();
    void tabFollowsTheLayout();
    void aRenamedControlIsReported();

    void dialogShowsModelessCentredOverTheMainWindow();
    void everyWayAwayOnlyHides_data();
    void everyWayAwayOnlyHides();
    void dialogGoesAwayWithTheMainWindow();

private:
    void showMainWindow();
};

void TestAccessibility::showMainWindow()
{
    form->move(40, 30);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestAccessibility::everyInputControlHasItsOwnName_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("among"); // controls that must be counted, hidden ones too
    QTest::newRow("main window") << "frmTone"
                                 << QStringList{"txtMem_15", "Text4", "txtBhi", "cmdListen"};
    QTest::newRow("message dialog") << "Dialog" << QStringList{"OKButton"};
    QTest::newRow("port chooser") << "PortChooser" << QStringList{"portTable", "portNumber"};
    QTest::newRow("listen window") << "frmListen" << QStringList{"cboInput", "txtCw", "cmdCopy"};
}

void TestAccessibility::everyInputControlHasItsOwnName()
{
    QFETCH(QString, window);
    QFETCH(QStringList, among);
    QWidget *shown = form.get();
    if (window == "Dialog")
        shown = &form->dialog();
    if (window == "frmListen")
        shown = &form->openListenWindow();
    if (window == "PortChooser") {
        QTest::keyClick(form->findChild<QWidget *>("cmdChoosePttPort"), Qt::Key_Space);
        shown = form->findChild<QWidget *>("PortChooser");
    }
    QVERIFY(shown);
    QHash<QString, QString> owners;
    for (QWidget *widget : shown->findChildren<QWidget *>()) {
        if (widget->window() != shown || !isInputControl(widget) || isPartOfAControl(widget, shown))
            continue;
        const QString name = spokenText(widget, QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!owners.contains(name), qPrintable(name + " names both " + owners.value(name) +
                                                    " and " + widget->objectName()));
        owners.insert(name, widget->objectName());
    }
    for (const QString &control : among)
        QVERIFY2(owners.values().contains(control), qPrintable(control));
}

void TestAccessibility::fieldsAreNamedForWhatTheyHold_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label"); // whose buddy the field is; empty: none
    QTest::addColumn<QString>("name");
    QTest::newRow("memory 3") << "txtMem_3"
                              << "lblCommands_3"
                              << "Command 3: Output 2 OFF";
    QTest::newRow("memory 9") << "txtMem_9"
                              << ""
                              << "Command 9: CW Reply Enable/Disable";
    // A label whose text the window changes names its field as it reads now.
    QTest::newRow("sequence") << "Text1"
                              << "Label3"
                              << "Sequence to Send (16 digits)";
}

void TestAccessibility::fieldsAreNamedForWhatTheyHold()
{
    QFETCH(QString, field);
    QFETCH(QString, label);
    QFETCH(QString, name);
    form->Form_Load(); // the start-up counts the digits to send in Label3
    auto *widget = form->findChild<QWidget *>(field);
    QVERIFY(widget);
    QCOMPARE(spokenText(widget, QAccessible::Name), name);
    // The tooltip stays what it tells beyond the name.
    QCOMPARE(spokenText(widget, QAccessible::Description), widget->toolTip());
    if (!label.isEmpty())
        QCOMPARE(form->findChild<QLabel *>(label)->buddy(), widget);
}

// The order is one table for both pages; the page without the board's buttons shows that it is
// applied, the hidden pause field skipped.
void TestAccessibility::tabFollowsTheLayout()
{
    showMainWindow();
    auto *pages = form->findChild<QTabWidget *>("SSTab1");
    pages->setCurrentIndex(1);
    QCOMPARE(tabCycle(form.get(), pages->tabBar()),
             (QStringList{"SSTab1 tabs", "txtSeqOri", "txtSeqNew", "cmdSeqCalc", "Text1", "Text2",
                          "Text3", "txtTxd", "txtPttCom", "cmdChoosePttPort", "chkPtt", "cmdTone",
                          "cmdListen"}));
}

void TestAccessibility::aRenamedControlIsReported()
{
    QCOMPARE(describeMainWindow(*form), QStringList());
    form->findChild<QLineEdit *>("txtMorseSpeed")->setObjectName("txtSpeed");
    form->findChild<QLabel *>("Label3")->setObjectName("lblSequence");
    QCOMPARE(describeMainWindow(*form), (QStringList{"txtMorseSpeed", "Label3"}));
}

void TestAccessibility::dialogShowsModelessCentredOverTheMainWindow()
{
    showMainWindow();
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

void TestAccessibility::everyWayAwayOnlyHides_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Return") << "Return";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("OK") << "OK";
    QTest::newRow("close box") << "close box"; // the window system's close request
}

// While an exchange runs there is nothing to press; when its result is ready the focus waits on
// OK. The dialog stays for the next exchange, with what it showed.
void TestAccessibility::everyWayAwayOnlyHides()
{
    QFETCH(QString, way);
    showMainWindow();
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
void TestAccessibility::dialogGoesAwayWithTheMainWindow()
{
    showMainWindow();
    MessageDialog &dialog = form->dialog();
    dialog.showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(form->close());
    QVERIFY(!dialog.isVisible());
    for (const QWindow *shown : QGuiApplication::topLevelWindows())
        QVERIFY(!shown->isVisible() || shown->transientParent());
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
