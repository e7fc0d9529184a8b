// Typing, clicking and double-clicking in the window's text fields.
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

class TestEntryRules : public QObject, public test::TestWindow {
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

private:
    QLineEdit *field(const QString &name) { return form->findChild<QLineEdit *>(name); }
};

void TestEntryRules::init()
{
    audio.noOutput = true; // a send reaches the player, which reports the failed open
    openWindow();
}

void TestEntryRules::typingKeepsEachFieldsAlphabet_data()
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

void TestEntryRules::typingKeepsEachFieldsAlphabet()
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
void TestEntryRules::upperCasedKeyIsTypedInPlace()
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

void TestEntryRules::newCodeRefusesTheChecksumDigit()
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

void TestEntryRules::composedTextIsFiltered()
{
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("a\u00e91 e#"));
    ui.Text1->clear();
    QApplication::sendEvent(ui.Text1, &event);
    QCOMPARE(ui.Text1->text(), QStringLiteral("A1#"));
}

// Every keyboard paste and cut is refused; copy only where the field's filter lets Ctrl+C through.
void TestEntryRules::clipboardKeysFollowTheFilter()
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

void TestEntryRules::digitCountFollowsTypingAndClicks()
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
void TestEntryRules::enterInText1Sends()
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
void TestEntryRules::clickSelectsAllInNumericFields()
{
    for (QLineEdit *edit : {ui.Text2, ui.txtSeqOri}) {
        edit->setText(QStringLiteral("12"));
        edit->deselect();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
    }
    QCOMPARE(ui.Text2->selectedText(), QStringLiteral("12"));
    QVERIFY(!ui.txtSeqOri->hasSelectedText()); // the sequence fields keep the caret
}

void TestEntryRules::doubleClickCopiesMemory()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    ui.SSTab1->setCurrentIndex(0);
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

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
