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
    void cleanup() { closeWindow(); }

    void calculationGoesToText1();
    void refusals_data();
    void refusals();
    void memoryNotes();
    void checksumDigitWarningWhenTyped();

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

// One worked example: the calculator's own tests hold the rest.
void TestCalculator::calculationGoesToText1()
{
    fill("1234", "5678");
    QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.value(0).text));
    QCOMPARE(ui.Text1->text(), QString("1234#95678C10"));
    // Text1_Click followed: the digit count speaks of the new sequence.
    QCOMPARE(ui.Label3->text(), QString("Sequence to Send (13 digits)"));
    QVERIFY(ui.cmdTone->isEnabled());
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
}

// The calculator's tests hold every refusal's text and order; here each kind of box and of
// selection reaches the window, and nothing reaches Text1.
void TestCalculator::refusals_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("field"); // to select, with the focus
    QTest::addColumn<QString>("selected");
    const int exclamation = int(MessageIcon::Exclamation);
    const int information = int(MessageIcon::Information);
    QTest::newRow("too short, no field") << "1"
                                         << "2"
                                         << "#9" << exclamation << "DTMF"
                                         << ""
                                         << "";
    QTest::newRow("final 9 of the original") << "129"
                                             << "55"
                                             << "9" << information << "Warning"
                                             << "txtSeqOri"
                                             << "9";
    QTest::newRow("two digits of the new") << "1"
                                           << "55#9"
                                           << "#9" << information << "Warning"
                                           << "txtSeqNew"
                                           << "#9";
}

void TestCalculator::refusals()
{
    QFETCH(QString, original);
    QFETCH(QString, newCode);
    QFETCH(QString, modifier);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QString, field);
    QFETCH(QString, selected);
    fill(original, "", modifier);
    ui.txtSeqNew->insert(newCode);
    ui.cmdSeqCalc->setFocus();
    QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(int(messages.shown[0].icon), icon);
    QCOMPARE(messages.shown[0].title, title);
    QCOMPARE(ui.Text1->text(), Unchanged);
    QCOMPARE(ui.txtSeqOri->text(), original);
    QCOMPARE(ui.txtSeqNew->text(), newCode);
    if (field.isEmpty())
        return;
    auto *edit = form->findChild<QLineEdit *>(field);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), selected);
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

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"
