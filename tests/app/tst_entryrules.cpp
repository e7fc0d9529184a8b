// Typing, clicking and double-clicking in the window's text fields.
#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QCheckBox>
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
    void cleanup();

    void typingKeepsEachFieldsAlphabet_data();
    void typingKeepsEachFieldsAlphabet();
    void maxLengthHoldsForTypedAndUpperCasedKeys();
    void newCodeRefusesTheChecksumDigit();
    void composedTextIsFiltered();
    void editingKeysStillWork();
    void keyboardPasteAndCutAreSwallowed();
    void copyWorksOnlyWhereAllowed();
    void digitCountFollowsTyping();
    void enterInText1Sends();
    void enterElsewhereDoesNothing();
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

void TestEntryRules::cleanup()
{
    closeWindow();
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

void TestEntryRules::maxLengthHoldsForTypedAndUpperCasedKeys()
{
    QLineEdit *memory = ui.txtMem[15];
    memory->setMaxLength(10);
    memory->clear();
    QTest::keyClicks(memory, QStringLiteral("012345678cd"));
    QCOMPARE(memory->text(), QStringLiteral("012345678C"));
    QTest::keyClicks(memory, QStringLiteral("9"));
    QCOMPARE(memory->text(), QStringLiteral("012345678C"));

    // The upper-cased key replaces a selection in a full field.
    memory->setText(QStringLiteral("0123456789"));
    memory->setSelection(2, 3);
    QTest::keyClick(memory, Qt::Key_B, Qt::NoModifier);
    QCOMPARE(memory->text(), QStringLiteral("01B56789"));
    QCOMPARE(memory->cursorPosition(), 3);
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
    auto commit = [](QLineEdit *edit, const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(edit, &event);
    };
    ui.Text1->clear();
    commit(ui.Text1, QStringLiteral("a\u00e91 e#"));
    QCOMPARE(ui.Text1->text(), QStringLiteral("A1#"));
}

void TestEntryRules::editingKeysStillWork()
{
    QLineEdit *edit = ui.Text2;
    edit->setText(QStringLiteral("123"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->text(), QStringLiteral("192"));
}

void TestEntryRules::keyboardPasteAndCutAreSwallowed()
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("123"));
    // The context menu's paste goes straight to the field and stays unfiltered.
    QLineEdit *edit = ui.txtMem[1];
    edit->clear();
    edit->paste();
    if (edit->text() != QStringLiteral("123"))
        QSKIP("no clipboard on this platform");

    for (QLineEdit *target : {ui.Text1, ui.txtMem[2], ui.Text2, ui.txtCallID}) {
        target->setText(QStringLiteral("45"));
        target->selectAll();
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(target->text(), QStringLiteral("45"));
        QTest::keyClick(target, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(target->text(), QStringLiteral("45"));
    }
    QCOMPARE(clipboard->text(), QStringLiteral("123"));
}

void TestEntryRules::copyWorksOnlyWhereAllowed()
{
    QClipboard *clipboard = QApplication::clipboard();
    auto copyFrom = [&](QLineEdit *edit, const QString &text) {
        clipboard->setText(QStringLiteral("before"));
        edit->setText(text);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        return clipboard->text();
    };
    if (copyFrom(ui.txtSeqOri, QStringLiteral("123")) != QStringLiteral("123"))
        QSKIP("no clipboard on this platform");
    QCOMPARE(copyFrom(ui.Text1, QStringLiteral("4#")), QStringLiteral("4#"));
    QCOMPARE(copyFrom(ui.txtCrcTag, QStringLiteral("5")), QStringLiteral("before"));
    QCOMPARE(copyFrom(ui.Text2, QStringLiteral("60")), QStringLiteral("before"));
    QCOMPARE(copyFrom(ui.txtCallID, QStringLiteral("IZ1")), QStringLiteral("before"));
}

void TestEntryRules::digitCountFollowsTyping()
{
    ui.Text1->clear();
    form->sender().Text1_Click();
    QVERIFY(!ui.cmdTone->isEnabled());
    QTest::keyClicks(ui.Text1, QStringLiteral("1a"));
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (2 digits)"));
    QVERIFY(ui.cmdTone->isEnabled());
    QTest::keyClick(ui.Text1, Qt::Key_Backspace);
    QTest::keyClick(ui.Text1, Qt::Key_Backspace);
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (0 digits)"));
    QVERIFY(!ui.cmdTone->isEnabled());
    // A click counts too, blanks included.
    ui.Text1->setText(QStringLiteral("12 34"));
    QTest::mouseClick(ui.Text1, Qt::LeftButton);
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (5 digits)"));
    QVERIFY(ui.cmdTone->isEnabled());
}

void TestEntryRules::enterInText1Sends()
{
    // Only a send corrects the timing fields, so they show whether one ran.
    ui.Text2->setText(QStringLiteral("10"));
    ui.Text1->setText(QStringLiteral("12"));
    QTest::keyClick(ui.Text1, Qt::Key_Return);
    QCOMPARE(ui.Text1->text(), QStringLiteral("12"));
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
    QCOMPARE(messages.shown.size(), 1); // the player could not open the missing device

    // With the button disabled by an empty sequence the key still sends.
    ui.Text1->clear();
    form->sender().Text1_Click();
    QVERIFY(!ui.cmdTone->isEnabled());
    ui.Text2->setText(QStringLiteral("5"));
    QTest::keyClick(ui.Text1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(ui.Text2->text(), QStringLiteral("25"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(ui.Text1->text(), QString());
}

void TestEntryRules::enterElsewhereDoesNothing()
{
    ui.Text2->setText(QStringLiteral("10"));
    ui.Text1->setText(QStringLiteral("12"));
    for (QLineEdit *edit : {ui.Text2, ui.txtMem[0], ui.txtCallID})
        QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(ui.Text2->text(), QStringLiteral("10"));
    QVERIFY(messages.shown.isEmpty());
}

void TestEntryRules::clickSelectsAllInNumericFields()
{
    const QStringList selecting{"Text2",         "Text3",   "Text4",      "txtCallID",
                                "txtMorseSpeed", "txtTmr2", "txtPrgComm", "txtPttCom",
                                "txtTxd",        "txtBlo",  "txtBhi"};
    for (const QString &name : selecting) {
        QLineEdit *edit = field(name);
        edit->setText(QStringLiteral("12"));
        edit->deselect();
        // At the left edge, where the field itself would put the caret before the text.
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
        QCOMPARE(edit->selectedText(), QStringLiteral("12"));
    }
    // The sequence fields leave the caret where the user clicked.
    QLineEdit *original = ui.txtSeqOri;
    original->setText(QStringLiteral("12"));
    original->deselect();
    QTest::mouseClick(original, Qt::LeftButton, {}, QPoint(2, original->height() / 2));
    QVERIFY(!original->hasSelectedText());
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

    ui.Text1->clear();
    form->sender().Text1_Click();
    ui.txtMem[5]->setText(QStringLiteral("123A"));
    QTest::mouseDClick(ui.txtMem[5], Qt::LeftButton);
    QCOMPARE(ui.Text1->text(), QStringLiteral("123A"));
    QCOMPARE(ui.Label3->text(), QStringLiteral("Sequence to Send (4 digits)"));
    QVERIFY(ui.cmdTone->isEnabled());
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    QCOMPARE(form->focusWidget(), ui.Text1);
    QCOMPARE(ui.Text1->selectedText(), QStringLiteral("123A"));
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
