// The "Remotely Replace a Command" frame: the calculation into Text1, its refusals and the live
// displays of its fields.
#include "app/CalculatorPanel.h"
#include "app/FormTone.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace keytoner;

namespace {

const QString Unchanged = QStringLiteral("0000");

} // namespace

class TestCalculator : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedExamples_data();
    void workedExamples();
    void refusalsInTheirOrder_data();
    void refusalsInTheirOrder();
    void refusalSelectsTheModifierAtTheEnd_data();
    void refusalSelectsTheModifierAtTheEnd();
    void pastedNonDigitIsRefused();
    void bracketEchoes();
    void memoryNotes();
    void checksumDigitWarningWhenTyped();
    void checksumDigitWarningWhenSetByProgram();

private:
    void fill(const QString &original, const QString &newCode, const QString &modifier = "#9",
              const QString &checksum = "C");
};

void TestCalculator::init()
{
    openWindow();
    ui.SSTab1->setCurrentIndex(1);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    ui.Text1->setText(Unchanged);
    messages.shown.clear();
}

void TestCalculator::cleanup()
{
    closeWindow();
}

void TestCalculator::fill(const QString &original, const QString &newCode, const QString &modifier,
                          const QString &checksum)
{
    ui.txtSeqCmd->setText(modifier);
    ui.txtCrcTag->setText(checksum);
    ui.txtSeqOri->setText(original);
    ui.txtSeqNew->setText(newCode);
    messages.shown.clear();
}

void TestCalculator::workedExamples_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *original, const char *newCode,
                        const char *expected) {
        QTest::newRow(name) << QString(original) << QString(newCode) << QString(expected);
    };
    row("sum 26", "1234", "5678", "1234#95678C10");
    row("sum 0", "3", "DD", "3#9DDCDD");
    row("new equals a memory", "1", "22", "1#922CD4");
}

void TestCalculator::workedExamples()
{
    QFETCH(QString, original);
    QFETCH(QString, newCode);
    QFETCH(QString, expected);
    ui.txtMem[0]->setText("22");
    fill(original, newCode);
    QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.value(0).text));
    QCOMPARE(ui.Text1->text(), expected);
    // Text1_Click followed: the digit count speaks of the new sequence.
    QVERIFY(ui.Label3->text().contains(QString::number(expected.size())));
    QVERIFY(ui.cmdTone->isEnabled());
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
}

void TestCalculator::refusalsInTheirOrder_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<QString>("checksum");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("start"); // of the message; the calculator's tests check the rest
    // A warning comes with the information icon, a refusal with the exclamation mark.
    const auto row = [](const char *name, const char *original, const char *newCode,
                        const char *modifier, const char *checksum, bool warning,
                        const char *start) {
        QTest::newRow(name) << QString(original) << QString(newCode) << QString(modifier)
                            << QString(checksum)
                            << int(warning ? MessageIcon::Information : MessageIcon::Exclamation)
                            << QString(warning ? "Warning" : "DTMF") << QString(start);
    };
    // Each row would also fail every later check.
    row("empty modifier", "19", "9", "", "C", false, "Modifier ID or Checksum ID cannot be empty.");
    row("original ends with modifier", "129", "9", "9", "C", true, "Original Sequence ends");
    row("new ends with modifier", "", "9", "9", "C", true, "New Sequence ends");
    row("new too short", "1", "2", "9", "C", false, "Original/New Sequence too short.");
}

void TestCalculator::refusalsInTheirOrder()
{
    QFETCH(QString, original);
    QFETCH(QString, newCode);
    QFETCH(QString, modifier);
    QFETCH(QString, checksum);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QString, start);
    fill(original, newCode, modifier, checksum);
    form->calculator().cmdSeqCalc_Click();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(int(messages.shown[0].icon), icon);
    QCOMPARE(messages.shown[0].title, title);
    QVERIFY2(messages.shown[0].text.startsWith(start), qPrintable(messages.shown[0].text));
    QCOMPARE(ui.Text1->text(), Unchanged);
    QCOMPARE(ui.txtSeqOri->text(), original);
    QCOMPARE(ui.txtSeqNew->text(), newCode);
}

void TestCalculator::refusalSelectsTheModifierAtTheEnd_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("start");
    const auto row = [](const char *name, const char *original, const char *newCode,
                        const char *modifier, const char *field, int start) {
        QTest::newRow(name) << QString(original) << QString(newCode) << QString(modifier)
                            << QString(field) << start;
    };
    row("final 9 of the original", "129", "55", "9", "txtSeqOri", 2);
    row("two digits of the new", "1", "55#9", "#9", "txtSeqNew", 2);
    row("whole original", "#9A", "55", "#9A", "txtSeqOri", 0);
}

void TestCalculator::refusalSelectsTheModifierAtTheEnd()
{
    QFETCH(QString, original);
    QFETCH(QString, newCode);
    QFETCH(QString, modifier);
    QFETCH(QString, field);
    QFETCH(int, start);
    fill(original, newCode, modifier);
    ui.cmdSeqCalc->setFocus();
    QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);
    auto *edit = form->findChild<QLineEdit *>(field);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectionStart(), start);
    QCOMPARE(edit->selectedText(), modifier);
}

void TestCalculator::pastedNonDigitIsRefused()
{
    fill("12", "5", "#9", "C");
    // What a paste through the context menu leaves: the key filter never saw it.
    ui.txtSeqNew->insert("x6");
    QCOMPARE(ui.txtSeqNew->text(), QString("5x6"));
    QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].icon, MessageIcon::Exclamation);
    QCOMPARE(messages.shown[0].title, QString("DTMF"));
    QVERIFY(messages.shown[0].text.contains("New Sequence"));
    QCOMPARE(ui.Text1->text(), Unchanged);
    QCOMPARE(ui.txtSeqNew->selectedText(), QString("x"));
}

void TestCalculator::bracketEchoes()
{
    ui.txtSeqCmd->setText("#9");
    QCOMPARE(ui.lblSeqCmd->text(), QString("[#9]"));
    ui.txtSeqCmd->clear();
    QCOMPARE(ui.lblSeqCmd->text(), QString("[]"));
    QTest::keyClicks(ui.txtSeqCmd, "a1");
    QCOMPARE(ui.lblSeqCmd->text(), QString("[A1]"));
    ui.txtCrcTag->setText("B");
    QCOMPARE(ui.lblCrcTag->text(), QString("[B]"));
    ui.txtCrcTag->clear();
    QCOMPARE(ui.lblCrcTag->text(), QString("[]"));
}

void TestCalculator::memoryNotes()
{
    ui.txtMem[8]->setText("123");
    ui.txtMem[9]->setText("123");
    ui.txtMem[3]->setText("456");
    ui.txtSeqOri->setText("123");
    QCOMPARE(ui.Label6->text(), QString("Original Sequence [cmd 8]"));
    ui.txtSeqNew->setText("456");
    QCOMPARE(ui.Label8->text(), QString("New Sequence  [cmd 3]"));
    // A prefix of a memory is no match.
    ui.txtSeqOri->setText("12");
    QCOMPARE(ui.Label6->text(), QString("Original Sequence"));
    // An empty field never matches an empty memory.
    ui.txtSeqNew->clear();
    QCOMPARE(ui.Label8->text(), QString("New Sequence"));
    // Editing a memory afterwards leaves the note as it was.
    ui.txtSeqNew->setText("456");
    ui.txtMem[3]->setText("457");
    QCOMPARE(ui.Label8->text(), QString("New Sequence  [cmd 3]"));
    QVERIFY(messages.shown.isEmpty());
}

void TestCalculator::checksumDigitWarningWhenTyped()
{
    ui.SSTab1->setCurrentIndex(0);
    ui.txtMem[3]->setText("1C4");
    ui.txtMem[7]->setText("CC");
    ui.txtCrcTag->setFocus();
    QTest::keyClicks(ui.txtCrcTag, "c");
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QCOMPARE(messages.shown[0].title, QString("Warning"));
    QCOMPARE(messages.shown[0].text,
             QString("Digit C already used in command sequences.\r\nPlease choose another digit."));
    QCOMPARE(ui.txtCrcTag->text(), QString("C"));
    QCOMPARE(ui.txtCrcTag->selectedText(), QString("C"));
    QCOMPARE(ui.lblCrcTag->text(), QString("[C]"));
    // The selection lets the next key replace the digit; a free digit warns no more.
    QTest::keyClicks(ui.txtCrcTag, "5");
    QCOMPARE(ui.txtCrcTag->text(), QString("5"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(ui.lblCrcTag->text(), QString("[5]"));
}

void TestCalculator::checksumDigitWarningWhenSetByProgram()
{
    ui.txtMem[15]->setText("*#");
    ui.txtCrcTag->setText("#");
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].text.startsWith("Digit # already used"));
    QCOMPARE(ui.txtCrcTag->text(), QString("#"));
    QCOMPARE(ui.lblCrcTag->text(), QString("[#]"));
}

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"
