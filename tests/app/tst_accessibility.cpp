// The main window as a screen reader and the keyboard reach it (every input control named,
// labels tied to their fields, Tab along the layout), and its two side windows: the "Program
// Parameters" dialog, modeless, which every way of putting away only hides, and the manual, which
// reloads on activation, gives up on a missing or broken file and outlives the main window. How
// the manual's RTF reads is the manual module's test.
#include "app/InstructionsWindow.h"
#include "app/ListenWindow.h"
#include "app/MessageDialog.h"
#include "app/WindowAccessibility.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QWindow>

using namespace keytoner;
using keytoner::test::writeFile;

namespace {

const QString ManualName = QStringLiteral("Manuale_Keytoner2.rtf");

// A manual long enough to scroll, whose first line names its version.
QByteArray manual(const QByteArray &first)
{
    QByteArray text = "{\\rtf1\\ansi " + first + "\\par ";
    for (int i = 0; i < 200; ++i)
        text += "Line " + QByteArray::number(i) + "\\par ";
    return text + "}";
}

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

} // namespace

class TestAccessibility : public QObject, public test::TestWindow {
    Q_OBJECT

    QString readerText() { return InstructionsWindow::instance()->rtfIstruzioni->toPlainText(); }
    void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QTemporaryDir dataHome;
    QString savedCurrent;

private slots:
    void initTestCase()
    {
        // Only the test's own data folder: a manual installed on this machine must not be found.
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", dataHome.filePath("none").toLocal8Bit());
        savedCurrent = QDir::currentPath();
    }
    void init()
    {
        QVERIFY(QDir::setCurrent(folder.path()));
        QVERIFY(writeFile(folder.filePath(ManualName), manual("Version one")));
        openWindow();
        form->move(40, 30);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        delete InstructionsWindow::instance();
        QDir::setCurrent(savedCurrent);
        closeWindow();
    }

    // Hidden controls too: the controls listed must be among those checked.
    void everyInputControlHasItsOwnName()
    {
        QTest::keyClick(form->findChild<QWidget *>("cmdChoosePttPort"), Qt::Key_Space);
        const std::pair<QWidget *, QStringList> windows[] = {
            {form.get(), {"txtMem_15", "Text4", "txtBhi", "cmdListen"}},
            {&form->dialog(), {"OKButton"}},
            {form->findChild<QWidget *>("PortChooser"), {"portTable", "portNumber"}},
            {&form->openListenWindow(), {"cboInput", "txtCw", "cmdCopy"}}};
        for (const auto &[shown, among] : windows) {
            QVERIFY(shown);
            QHash<QString, QString> owners;
            for (QWidget *widget : shown->findChildren<QWidget *>()) {
                if (widget->window() != shown || !isInputControl(widget) ||
                    isPartOfAControl(widget, shown))
                    continue;
                const QString name = spokenText(widget, QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
                QVERIFY2(!owners.contains(name),
                         qPrintable(name + " names both " + owners.value(name) + " and " +
                                    widget->objectName()));
                owners.insert(name, widget->objectName());
            }
            for (const QString &control : among)
                QVERIFY2(owners.values().contains(control), qPrintable(control));
        }
    }

    // A name from the table with the label's text, one without a label, and the label's own
    // text, which names its field as it reads now. The tooltip stays what it tells beyond the
    // name.
    void fieldsAreNamedForWhatTheyHold()
    {
        form->Form_Load(); // the start-up counts the digits to send in Label3
        // The label is the one whose buddy the field is.
        const std::tuple<const char *, const char *, const char *> fields[] = {
            {"txtMem_3", "lblCommands_3", "Command 3: Output 2 OFF"},
            {"txtMem_9", nullptr, "Command 9: CW Reply Enable/Disable"},
            {"Text1", "Label3", "Sequence to Send (16 digits)"}};
        for (const auto &[field, label, name] : fields) {
            auto *widget = form->findChild<QWidget *>(field);
            QVERIFY(widget);
            QCOMPARE(spokenText(widget, QAccessible::Name), name);
            QCOMPARE(spokenText(widget, QAccessible::Description), widget->toolTip());
            if (label)
                QCOMPARE(form->findChild<QLabel *>(label)->buddy(), widget);
        }
        // A name in the tables that the window no longer has is reported.
        QCOMPARE(describeMainWindow(*form), QStringList());
        ui.txtMorseSpeed->setObjectName("txtSpeed");
        ui.Label3->setObjectName("lblSequence");
        QCOMPARE(describeMainWindow(*form), (QStringList{"txtMorseSpeed", "Label3"}));
    }

    // The order is one table for both pages; the page without the board's buttons shows that
    // it is applied, the hidden pause field skipped. Once round from the page tabs.
    void tabFollowsTheLayout()
    {
        ui.SSTab1->setCurrentIndex(1);
        QWidget *start = ui.SSTab1->tabBar();
        start->setFocus();
        QStringList names;
        for (int stop = 0; stop < 100; ++stop) {
            QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
            if (form->focusWidget() == start)
                break;
            names.append(form->focusWidget()->objectName());
        }
        QCOMPARE(names, (QStringList{"txtSeqOri", "txtSeqNew", "cmdSeqCalc", "Text1", "Text2",
                                     "Text3", "txtTxd", "txtPttCom", "cmdChoosePttPort", "chkPtt",
                                     "cmdTone", "cmdListen"}));
    }

    // Centred over the main window each time it is shown. While an exchange runs there is
    // nothing to press; when its result is ready the focus waits on OK. It stays for the next
    // exchange, with what it showed, and never keeps the program running on its own.
    void dialogIsModelessAndOnlyHides()
    {
        QPointer<MessageDialog> dialog = &form->dialog();
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize()); // fixed border
        QVERIFY(dialog->lblInfo->wordWrap());
        QVERIFY(!dialog->testAttribute(Qt::WA_QuitOnClose));
        for (const QString way : {"Return", "Escape", "OK", "close box"}) {
            dialog->setOkVisible(false);
            dialog->setInfo(way);
            dialog->showModeless();
            QVERIFY(QTest::qWaitForWindowActive(dialog.data()));
            QVERIFY(!dialog->isModal());
            QCOMPARE(QApplication::activeModalWidget(), nullptr);
            const QPoint offset = dialog->frameGeometry().center() - form->frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2, qPrintable(way));
            dialog->setOkVisible(true);
            QCOMPARE(dialog->focusWidget(), dialog->OKButton);
            if (way == "close box")
                dialog->windowHandle()->close(); // the window system's close request
            else if (way == "OK")
                QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
            else
                QTest::keyClick(dialog->OKButton,
                                way == "Return" ? Qt::Key_Return : Qt::Key_Escape);
            processDeletes();
            QVERIFY2(dialog && !dialog->isVisible(), qPrintable(way));
            QCOMPARE(dialog->info(), way);
            QVERIFY(form->isVisible());
        }
        // It goes away with the main window.
        dialog->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.data()));
        QVERIFY(form->close());
        QVERIFY(!dialog->isVisible());
        for (const QWindow *shown : QGuiApplication::topLevelWindows())
            QVERIFY(!shown->isVisible() || shown->transientParent());
    }

    // F1 in any field opens the manual, centred on the screen; it is read along the caret,
    // fills the client area (but while minimized, when that has no size of its own), outlives
    // the main window, and Escape puts it away.
    void f1OpensTheManual()
    {
        ui.txtSeqOri->setFocus();
        QTest::keyClick(ui.txtSeqOri, Qt::Key_F1);
        InstructionsWindow *window = InstructionsWindow::instance();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), " Keytoner v2");
        QCOMPARE(window->objectName(), "frmIstruzioni");
        QVERIFY(ui.txtSeqOri->text().isEmpty());
        QVERIFY(messages.shown.isEmpty());
        // Client area 8745 x 4515 twips at 15 twips per pixel.
        QCOMPARE(window->size(), QSize(583, 301));
        const QRect screen = window->screen()->geometry();
        const QRect frame = window->frameGeometry();
        QVERIFY(qAbs(frame.left() - (screen.width() - frame.width()) / 2) <= 1);
        QVERIFY(qAbs(frame.top() - (screen.height() - frame.height()) / 2) <= 1);

        QTextEdit *viewer = window->rtfIstruzioni;
        QVERIFY(viewer->isReadOnly());
        QCOMPARE(window->focusWidget(), viewer);
        QVERIFY(!viewer->accessibleName().isEmpty());
        QTest::keyClick(viewer, Qt::Key_Down);
        QCOMPARE(viewer->textCursor().block().text(), "Line 0");

        for (const QSize size : {QSize(600, 400), QSize(4, 12)}) {
            window->resize(size);
            QCOMPARE(viewer->geometry(), QRect(QPoint(0, 0), window->size()));
        }
        const QRect before = viewer->geometry();
        window->setWindowState(Qt::WindowMinimized);
        QVERIFY(window->isMinimized());
        window->resize(300, 200);
        QCOMPARE(viewer->geometry(), before);
        window->setWindowState(Qt::WindowNoState);
        QCOMPARE(viewer->size(), window->size());

        QVERIFY(!window->parent());
        QVERIFY(window->testAttribute(Qt::WA_QuitOnClose));
        QVERIFY(form->close());
        processDeletes();
        QCOMPARE(InstructionsWindow::instance(), window);
        QVERIFY(window->isVisible());
        QTest::keyClick(viewer, Qt::Key_Escape);
        processDeletes();
        QCOMPARE(InstructionsWindow::instance(), nullptr);
    }

    // Activating the window, or opening it again, reloads the manual back at the top; opening
    // it again keeps the window where it is, with the new title. A manual gone by the next
    // activation closes the window.
    void reloadsWhenActivatedOrOpenedAgain()
    {
        InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
        InstructionsWindow *window = InstructionsWindow::instance();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QScrollBar *bar = window->rtfIstruzioni->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        window->move(10, 20);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QVERIFY(writeFile(folder.filePath(ManualName), manual("Version two")));
        QVERIFY(readerText().startsWith("Version one"));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(readerText().startsWith("Version two"));
        QCOMPARE(bar->value(), 0);

        // Already active: no activation follows, the opening itself reloads.
        QVERIFY(writeFile(folder.filePath(ManualName), manual("Version three")));
        InstructionsWindow::Apri(messages, ManualName, "Other");
        QCOMPARE(InstructionsWindow::instance(), window);
        QCOMPARE(window->windowTitle(), " Other");
        QCOMPARE(window->pos(), QPoint(10, 20)); // centred only when created
        QVERIFY(readerText().startsWith("Version three"));
        QVERIFY(messages.shown.isEmpty());

        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QFile::remove(folder.filePath(ManualName));
        QSignalSpy gone(window, &QObject::destroyed);
        window->activateWindow();
        QVERIFY(gone.wait());
        QCOMPARE(InstructionsWindow::instance(), nullptr);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, "Manca il file di help Manuale_Keytoner2.rtf");
    }

    // F1 passes the bare name, so that the lookup order applies: the message names the file
    // alone. The next opening creates the window again, even before the old one is deleted. A
    // file the reader refuses closes the window with the reader's reason. The order: the current
    // folder first, then beside the program, then the data folder.
    void missingOrBrokenFileAndLookupOrder()
    {
        QFile::remove(folder.filePath(ManualName));
        QTest::keyClick(ui.txtMem[3], Qt::Key_F1, Qt::ShiftModifier);
        processDeletes();
        QCOMPARE(InstructionsWindow::instance(), nullptr);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
        QCOMPARE(messages.shown[0].title, "Chimecaster v2r");
        QCOMPARE(messages.shown[0].text, "Manca il file di help Manuale_Keytoner2.rtf");
        QVERIFY(form->isVisible());

        InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(writeFile(folder.filePath(ManualName), manual("Back")));
        InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
        processDeletes();
        QVERIFY(InstructionsWindow::instance() && InstructionsWindow::instance()->isVisible());
        QVERIFY(readerText().startsWith("Back"));
        QCOMPARE(messages.shown.size(), 2);

        QVERIFY(writeFile(folder.filePath(ManualName), manual("Cut").left(300)));
        InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
        processDeletes();
        QCOMPARE(InstructionsWindow::instance(), nullptr);
        QCOMPARE(messages.shown.size(), 3);
        QCOMPARE(messages.shown[2].icon, MessageIcon::Critical);
        QVERIFY(messages.shown[2].text.contains(ManualName));
        QVERIFY2(messages.shown[2].text.contains("truncated"), qPrintable(messages.shown[2].text));

        const QString name = QString("Manuale_Test_%1.rtf").arg(QCoreApplication::applicationPid());
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        QVERIFY(writeFile(beside, manual("Beside the program")));
        QVERIFY(QDir(dataHome.path()).mkpath("keytoner"));
        QVERIFY(writeFile(dataHome.filePath("keytoner/" + name), manual("Installed")));

        InstructionsWindow::Apri(messages, name, "Keytoner v2");
        QVERIFY(readerText().startsWith("Beside the program"));
        QFile::remove(beside);
        InstructionsWindow::Apri(messages, name, "Keytoner v2");
        QVERIFY(readerText().startsWith("Installed"));
        QVERIFY(writeFile(folder.filePath(name), manual("Current folder")));
        InstructionsWindow::Apri(messages, name, "Keytoner v2");
        QVERIFY(readerText().startsWith("Current folder"));
    }

    void shippedManualReads()
    {
        const QString source = qEnvironmentVariable("KEYTONER_SOURCE_DIR");
        if (source.isEmpty())
            QSKIP("KEYTONER_SOURCE_DIR is not set");
        InstructionsWindow::Apri(messages, source + "/resources/" + ManualName, "Keytoner v2");
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.value(0).text));
        const QString text = readerText();
        for (const char *phrase : {"1234#95678C10", "keytoner-cli", "dosdevices", "dialout",
                                   "Tx Delay", "Modifier ID", "Checksum ID", "Troubleshooting"})
            QVERIFY2(text.contains(QLatin1String(phrase)), phrase);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
