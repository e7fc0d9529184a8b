// The instructions window: opening the manual, reloading it on activation, the missing or
// broken file, the viewer's margins, and its independence from the main window.
#include "app/FormTone.h"
#include "app/InstructionsWindow.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

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

void processDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestInstructions : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensCentredWithItsTitle();
    void f1OpensTheManualFromAnyField();
    void secondApriReusesTheWindow();
    void reloadsOnActivationBackAtTheTop();
    void missingFileIsNamedAsPassed();
    void fileVanishingWhileOpenClosesTheWindow();
    void brokenFileIsReported_data();
    void brokenFileIsReported();
    void looksBesideTheProgramAndInTheDataFolder();
    void viewerFillsTheClientArea();
    void outlivesTheMainWindow();
    void readAndClosedWithTheKeyboard();
    void shippedManualReads();

private:
    QString readerText() const
    {
        return InstructionsWindow::instance()->rtfIstruzioni->toPlainText();
    }

    QTemporaryDir dataHome;
    QString savedCurrent;
};

void TestInstructions::initTestCase()
{
    // Only the test's own data folder: a manual installed on this machine must not be found.
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dataHome.filePath("none").toLocal8Bit());
    savedCurrent = QDir::currentPath();
}

void TestInstructions::init()
{
    QVERIFY(QDir::setCurrent(folder.path()));
    QVERIFY(writeFile(folder.filePath(ManualName), manual("Version one")));
    openWindow();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestInstructions::cleanup()
{
    delete InstructionsWindow::instance();
    QDir::setCurrent(savedCurrent);
    closeWindow();
}

void TestInstructions::opensCentredWithItsTitle()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->windowTitle(), QString(" Keytoner v2"));
    QCOMPARE(window->objectName(), QString("frmIstruzioni"));
    QVERIFY(window->rtfIstruzioni->isReadOnly());
    QVERIFY(readerText().startsWith("Version one"));
    QVERIFY(messages.shown.isEmpty());
    // Client area 8745 x 4515 twips at 15 twips per pixel, centred on the screen.
    QCOMPARE(window->size(), QSize(583, 301));
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    QVERIFY(qAbs(frame.left() - (screen.width() - frame.width()) / 2) <= 1);
    QVERIFY(qAbs(frame.top() - (screen.height() - frame.height()) / 2) <= 1);
}

void TestInstructions::f1OpensTheManualFromAnyField()
{
    QLineEdit *field = ui.txtSeqOri;
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F1);
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString(" Keytoner v2"));
    QVERIFY(readerText().startsWith("Version one"));
    QVERIFY(field->text().isEmpty());

    // F1 passes the bare name, so that the lookup order applies: without the manual the
    // message names the file alone, with no folder.
    delete window;
    QFile::remove(folder.filePath(ManualName));
    QTest::keyClick(ui.txtMem[3], Qt::Key_F1, Qt::ShiftModifier);
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), nullptr);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QString("Manca il file di help Manuale_Keytoner2.rtf"));
}

void TestInstructions::secondApriReusesTheWindow()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *first = InstructionsWindow::instance();
    first->move(10, 20);
    QVERIFY(writeFile(folder.filePath(ManualName), manual("Version two")));
    InstructionsWindow::Apri(messages, ManualName, "Other");
    QCOMPARE(InstructionsWindow::instance(), first);
    QCOMPARE(first->windowTitle(), QString(" Other"));
    QCOMPARE(first->pos(), QPoint(10, 20)); // centred only when created
    QVERIFY(readerText().startsWith("Version two"));
}

void TestInstructions::reloadsOnActivationBackAtTheTop()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QScrollBar *bar = window->rtfIstruzioni->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());

    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(writeFile(folder.filePath(ManualName), manual("Version two")));
    QVERIFY(readerText().startsWith("Version one"));

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(readerText().startsWith("Version two"));
    QCOMPARE(window->rtfIstruzioni->verticalScrollBar()->value(), 0);
    QVERIFY(messages.shown.isEmpty());
}

void TestInstructions::missingFileIsNamedAsPassed()
{
    QFile::remove(folder.filePath(ManualName));
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), nullptr);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
    QCOMPARE(messages.shown[0].title, QString("Chimecaster v2r"));
    QCOMPARE(messages.shown[0].text, QString("Manca il file di help Manuale_Keytoner2.rtf"));
    QVERIFY(form->isVisible());

    // The next Apri creates the window again, even before the old one is deleted.
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    QCOMPARE(messages.shown.size(), 2);
    QVERIFY(writeFile(folder.filePath(ManualName), manual("Back")));
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    processDeletes();
    QVERIFY(InstructionsWindow::instance());
    QVERIFY(InstructionsWindow::instance()->isVisible());
    QVERIFY(readerText().startsWith("Back"));
    QCOMPARE(messages.shown.size(), 2);
}

void TestInstructions::fileVanishingWhileOpenClosesTheWindow()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    QVERIFY(QTest::qWaitForWindowActive(InstructionsWindow::instance()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QFile::remove(folder.filePath(ManualName));
    QSignalSpy gone(InstructionsWindow::instance(), &QObject::destroyed);
    InstructionsWindow::instance()->activateWindow();
    QVERIFY(gone.wait());
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(InstructionsWindow::instance(), nullptr);
    QCOMPARE(messages.shown[0].text, QString("Manca il file di help Manuale_Keytoner2.rtf"));
}

void TestInstructions::brokenFileIsReported_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    // The reader's own tests hold the other reasons.
    QTest::newRow("truncated") << manual("Cut").left(300) << "truncated";
}

void TestInstructions::brokenFileIsReported()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QVERIFY(writeFile(folder.filePath(ManualName), bytes));
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), nullptr);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
    QVERIFY(messages.shown[0].text.contains(ManualName));
    QVERIFY2(messages.shown[0].text.contains(reason), qPrintable(messages.shown[0].text));
    QVERIFY(form->isVisible());
}

void TestInstructions::looksBesideTheProgramAndInTheDataFolder()
{
    QFile::remove(folder.filePath(ManualName));
    const QString name =
        QStringLiteral("Manuale_Test_%1.rtf").arg(QCoreApplication::applicationPid());
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    QVERIFY(writeFile(beside, manual("Beside the program")));
    QVERIFY(QDir(dataHome.path()).mkpath("keytoner"));
    const QString installed = dataHome.filePath("keytoner/" + name);
    QVERIFY(writeFile(installed, manual("Installed")));

    InstructionsWindow::Apri(messages, name, "Keytoner v2");
    QVERIFY(readerText().startsWith("Beside the program"));
    QFile::remove(beside);
    InstructionsWindow::Apri(messages, name, "Keytoner v2");
    QVERIFY(readerText().startsWith("Installed"));
    // The current folder comes first.
    QVERIFY(writeFile(folder.filePath(name), manual("Current folder")));
    InstructionsWindow::Apri(messages, name, "Keytoner v2");
    QVERIFY(readerText().startsWith("Current folder"));
    QFile::remove(folder.filePath(name));
    QFile::remove(installed);
    InstructionsWindow::Apri(messages, name, "Keytoner v2");
    processDeletes();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, "Manca il file di help " + name);
}

// Except while minimized, when the client area has no size of its own.
void TestInstructions::viewerFillsTheClientArea()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (const QSize size : {QSize(600, 400), QSize(4, 12)}) {
        window->resize(size);
        QCOMPARE(window->rtfIstruzioni->geometry(), QRect(QPoint(0, 0), window->size()));
    }
    const QRect before = window->rtfIstruzioni->geometry();
    window->setWindowState(Qt::WindowMinimized);
    QVERIFY(window->isMinimized());
    window->resize(300, 200);
    QCOMPARE(window->rtfIstruzioni->geometry(), before);
    window->setWindowState(Qt::WindowNoState);
    QCOMPARE(window->rtfIstruzioni->size(), window->size());
}

void TestInstructions::outlivesTheMainWindow()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(!window->parent());
    QVERIFY(window->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(form->close());
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), window);
    QVERIFY(window->isVisible());
    window->close();
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), nullptr);
}

// A screen reader reads along the caret; Escape puts the manual away.
void TestInstructions::readAndClosedWithTheKeyboard()
{
    InstructionsWindow::Apri(messages, ManualName, "Keytoner v2");
    InstructionsWindow *window = InstructionsWindow::instance();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTextEdit *viewer = window->rtfIstruzioni;
    QCOMPARE(window->focusWidget(), viewer);
    QVERIFY(!viewer->accessibleName().isEmpty());
    QTest::keyClick(viewer, Qt::Key_Down);
    QCOMPARE(viewer->textCursor().block().text(), QString("Line 0"));
    QVERIFY(readerText().startsWith("Version one"));
    QTest::keyClick(viewer, Qt::Key_Escape);
    processDeletes();
    QCOMPARE(InstructionsWindow::instance(), nullptr);
}

void TestInstructions::shippedManualReads()
{
    const QString source = qEnvironmentVariable("KEYTONER_SOURCE_DIR");
    if (source.isEmpty())
        QSKIP("KEYTONER_SOURCE_DIR is not set");
    const QString path = source + "/resources/" + ManualName;
    InstructionsWindow::Apri(messages, path, "Keytoner v2");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.value(0).text));
    const QString text = readerText();
    for (const char *phrase : {"1234#95678C10", "keytoner-cli", "dosdevices", "dialout", "Tx Delay",
                               "Modifier ID", "Checksum ID", "Troubleshooting"})
        QVERIFY2(text.contains(QLatin1String(phrase)), phrase);
}

QTEST_MAIN(TestInstructions)
#include "tst_instructions.moc"
