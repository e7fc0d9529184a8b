// The window's text fields as the user types, clicks and double-clicks in them, and the remote
// replacement frame that reads them: its calculation into Text1, its refusals and the notes of
// the memories its fields match. What each key does in each kind of field is the entry module's
// test; here each field has its kind, and each hook its effect.
#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace keytoner;

namespace {

const QString Unchanged = QStringLiteral("0000");

} // namespace

class TestFields : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { closeWindow(); }

    void typingKeepsEachFieldsAlphabet_data();
    void typingKeepsEachFieldsAlphabet();
    void upperCasedKeyIsTypedInPlace();
    void newCodeRefusesTheChecksumDigit();
    void composedTextIsFiltered();
    void clipboardKeysFollowTheFilter();
    void digitCountFollowsTypingAndClicks();
    void enterInText1Sends();
    void clickSelectsAllInNumericFields();
    void doubleClickCopiesMemory();

    void calculationGoesToText1();
    void refusals_data();
    void refusals();
    void memoryNotes();
    void checksumDigitWarningWhenTyped();

private:
    QLineEdit *field(const QString &name) { return form->findChild<QLineEdit *>(name); }
    void showPage(int page);
    void fill(const QString &original, const QString &newCode, const QString &modifier = "#9",
              const QString &checksum = "C");
};

void TestFields::init()
{
    audio.noOutput = true; // a send reaches the player, which reports the failed open
    openWindow();
}

// Shown and active, for the focus and selection that follow clicks.
void TestFields::showPage(int page)
{
    ui.SSTab1->setCurrentIndex(page);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestFields::fill(const QString &original, const QString &newCode, const QString &modifier,
                      const QString &checksum)
{
    showPage(1);
    ui.Text1->setText(Unchanged);
    ui.txtSeqCmd->setText(modifier);
    ui.txtCrcTag->setText(checksum);
    ui.txtSeqOri->setText(original);
    ui.txtSeqNew->setText(newCode);
    messages.shown.clear();
}

void TestFields::typingKeepsEachFieldsAlphabet_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected");

    // One probe tells the kinds apart: DTMF fields upper-case "a" and take "#", the call sign
    // also takes ":" and the blank, digit fields only the digits, voltage fields the dot too.
    QStringList sequences{"Text1", "txtSeqCmd", "txtSeqOri", "txtSeqNew"};
    for (int i = 0; i < 16; ++i)
        sequences << QStringLiteral("txtMem_%1").arg(i);
    QTest::newRow("DTMF") << sequences << "A1#";
    QTest::newRow("call sign") << QStringList{"txtCallID"} << "AE1: ";
    QTest::newRow("digits") << QStringList{"Text2",         "Text3",   "Text4",  "txtPrgComm",
                                           "txtMorseSpeed", "txtTmr2", "txtTxd", "txtPttCom"}
                            << "1";
    QTest::newRow("voltage") << QStringList{"txtBhi", "txtBlo"} << "1.";
}

void TestFields::typingKeepsEachFieldsAlphabet()
{
    QFETCH(QStringList, names);
    QFETCH(QString, expected);
    for (const QString &name : names) {
        QLineEdit *edit = field(name);
        QVERIFY2(edit, qPrintable(name));
        edit->setMaxLength(32767);
        edit->setEnabled(true); // Text4 is hidden and disabled, but keeps its rule
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("ae1.,-+:# "));
        QVERIFY2(edit->text() == expected, qPrintable(name + " " + edit->text()));
    }
}

// The upper-cased key replaces a selection and keeps within the maximum length, as typing does;
// the keys that type nothing still move the caret.
void TestFields::upperCasedKeyIsTypedInPlace()
{
    QLineEdit *memory = ui.txtMem[15];
    memory->setText(QStringLiteral("0123456789"));
    memory->setSelection(2, 3);
    QTest::keyClick(memory, Qt::Key_B, Qt::NoModifier);
    QCOMPARE(memory->text(), QStringLiteral("01B56789"));
    QTest::keyClick(memory, Qt::Key_Left);
    QTest::keyClicks(memory, QStringLiteral("cd"));
    QCOMPARE(memory->text(), QStringLiteral("01CDB56789"));
    QTest::keyClicks(memory, QStringLiteral("a"));
    QCOMPARE(memory->text(), QStringLiteral("01CDB56789"));
}

void TestFields::newCodeRefusesTheChecksumDigit()
{
    ui.txtCrcTag->setText(QStringLiteral("7"));
    ui.txtSeqNew->clear();
    QTest::keyClicks(ui.txtSeqNew, QStringLiteral("1737"));
    QCOMPARE(ui.txtSeqNew->text(), QStringLiteral("13"));
    // The checksum digit is read at each key, not once.
    ui.txtCrcTag->clear();
    ui.txtSeqNew->clear();
    QTest::keyClicks(ui.txtSeqNew, QStringLiteral("7b"));
    QCOMPARE(ui.txtSeqNew->text(), QStringLiteral("7B"));
}

void TestFields::composedTextIsFiltered()
{
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("a\u00e91 e#"));
    ui.Text1->clear();
    QApplication::sendEvent(ui.Text1, &event);
    QCOMPARE(ui.Text1->text(), QStringLiteral("A1#"));
}

// Every keyboard paste and cut is refused; copy only where the field's filter lets Ctrl+C through.
void TestFields::clipboardKeysFollowTheFilter()
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("123"));
    if (clipboard->text() != QStringLiteral("123"))
        QSKIP("no clipboard on this platform");
    ui.Text1->setText(QStringLiteral("45"));
    ui.Text1->selectAll();
    for (const QKeySequence &keys :
         {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins"), QKeySequence("Ctrl+X")})
        QTest::keySequence(ui.Text1, keys);
    QCOMPARE(ui.Text1->text(), QStringLiteral("45"));
    QCOMPARE(clipboard->text(), QStringLiteral("123"));
    QTest::keySequence(ui.Text1, QKeySequence::Copy);
    QCOMPARE(clipboard->text(), QStringLiteral("45"));
    ui.Text2->setText(QStringLiteral("60"));
    ui.Text2->selectAll();
    QTest::keySequence(ui.Text2, QKeySequence::Copy);
    QCOMPARE(clipboard->text(), QStringLiteral("45"));
}

void TestFields::digitCountFollowsTypingAndClicks()
{
    ui.Text1->setText(QStringLiteral("1"));
    QTest::keyClick(ui.Text1, Qt::Key_Backspace);
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (0 digits)"));
    QVERIFY(!ui.cmdTone->isEnabled());
    QTest::keyClicks(ui.Text1, QStringLiteral("1a"));
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (2 digits)"));
    QVERIFY(ui.cmdTone->isEnabled());
    // A click counts too, blanks included.
    ui.Text1->setText(QStringLiteral("12 34"));
    QTest::mouseClick(ui.Text1, Qt::LeftButton);
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (5 digits)"));
}

// Only a send corrects the timing fields, so they show whether one ran. With the button
// disabled by an empty sequence the key still sends.
void TestFields::enterInText1Sends()
{
    ui.Text2->setText(QStringLiteral("10"));
    ui.Text1->setText(QStringLiteral("12"));
    QTest::keyClick(ui.Text1, Qt::Key_Return);
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
    QCOMPARE(messages.shown.size(), 1); // the player could not open the missing device

    ui.Text1->clear();
    form->sender().Text1_Click();
    QVERIFY(!ui.cmdTone->isEnabled());
    ui.Text2->setText(QStringLiteral("5"));
    QTest::keyClick(ui.Text1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
}

// At the left edge, where the field itself would put the caret before the text.
void TestFields::clickSelectsAllInNumericFields()
{
    for (QLineEdit *edit : {ui.Text2, ui.txtSeqOri}) {
        edit->setText(QStringLiteral("12"));
        edit->deselect();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
    }
    QCOMPARE(ui.Text2->selectedText(), QStringLiteral("12"));
    QVERIFY(!ui.txtSeqOri->hasSelectedText()); // the sequence fields keep the caret
}

void TestFields::doubleClickCopiesMemory()
{
    showPage(0);
    // An empty memory copies nothing.
    ui.Text1->setText(QStringLiteral("99"));
    QTest::mouseDClick(ui.txtMem[7], Qt::LeftButton);
    QCOMPARE(ui.Text1->text(), QStringLiteral("99"));
    QCOMPARE(ui.SSTab1->currentIndex(), 0);

    ui.txtMem[5]->setText(QStringLiteral("123A"));
    QTest::mouseDClick(ui.txtMem[5], Qt::LeftButton);
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (4 digits)"));
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    QCOMPARE(form->focusWidget(), ui.Text1);
    QCOMPARE(ui.Text1->selectedText(), QStringLiteral("123A"));
}

// One worked example: the calculator's own tests hold the rest.
void TestFields::calculationGoesToText1()
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
void TestFields::refusals_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("field"); // to select, with the focus
    QTest::addColumn<QString>("selected");
    const auto row = [](const char *name, const char *original, const char *newCode,
                        const char *modifier, MessageIcon icon, const char *title,
                        const char *field, const char *selected) {
        QTest::newRow(name) << QString(original) << QString(newCode) << QString(modifier)
                            << int(icon) << QString(title) << QString(field) << QString(selected);
    };
    row("too short, no field", "1", "2", "#9", MessageIcon::Exclamation, "DTMF", "", "");
    row("final 9 of the original", "129", "55", "9", MessageIcon::Information, "Warning",
        "txtSeqOri", "9");
    row("two digits of the new", "1", "55#9", "#9", MessageIcon::Information, "Warning",
        "txtSeqNew", "#9");
}

void TestFields::refusals()
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

void TestFields::memoryNotes()
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

void TestFields::checksumDigitWarningWhenTyped()
{
    showPage(0);
    ui.txtMem[3]->setText("1C4");
    ui.txtMem[7]->setText("CC");
    ui.txtCrcTag->setFocus();
    QTest::keyClicks(ui.txtCrcTag, "c");
    QCOMPARE(messages.shown.size(), 1); // its text is tst_configpanel's
    QCOMPARE(ui.txtCrcTag->selectedText(), QString("C"));
    // The selection lets the next key replace the digit; a free digit warns no more.
    QTest::keyClicks(ui.txtCrcTag, "5");
    QCOMPARE(ui.txtCrcTag->text(), QString("5"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(ui.lblCrcTag->text(), QString("[5]"));
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
