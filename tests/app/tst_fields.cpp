// The window's text fields as the user types, clicks and double-clicks in them, and the remote
// replacement frame that reads them: its calculation into Text1, its refusals and the notes of
// the memories its fields match. What each key does in each kind of field is the entry module's
// test, the calculation the remote module's; here each field has its kind, and each hook its
// effect.
#include "support/TestWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>

using namespace keytoner;

class TestFields : public QObject, public test::TestWindow {
    Q_OBJECT

    // Shown and active, for the focus and selection that follow clicks.
    void showPage(int page)
    {
        ui.SSTab1->setCurrentIndex(page);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

private slots:
    void init()
    {
        audio.noOutput = true; // a send reaches the player, which reports the failed open
        openWindow();
    }
    void cleanup() { closeWindow(); }

    // One probe tells the kinds apart: DTMF fields upper-case "a" and take "#", the call sign
    // also takes ":" and the blank, digit fields only the digits, voltage fields the dot too.
    void typingKeepsEachFieldsAlphabet_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("expected");
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
    void typingKeepsEachFieldsAlphabet()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, expected);
        for (const QString &name : names) {
            auto *edit = form->findChild<QLineEdit *>(name);
            QVERIFY2(edit, qPrintable(name));
            edit->setMaxLength(32767);
            edit->setEnabled(true); // Text4 is hidden and disabled, but keeps its rule
            edit->clear();
            QTest::keyClicks(edit, "ae1.,-+:# ");
            QVERIFY2(edit->text() == expected, qPrintable(name + " " + edit->text()));
        }
    }

    // The upper-cased key replaces a selection and keeps within the maximum length, as typing
    // does; the keys that type nothing still move the caret. Text composed by an input method
    // goes through the same filter.
    void upperCasedAndComposedTextIsTypedInPlace()
    {
        QLineEdit *memory = ui.txtMem[15];
        memory->setText("0123456789");
        memory->setSelection(2, 3);
        QTest::keyClick(memory, Qt::Key_B);
        QCOMPARE(memory->text(), "01B56789");
        QTest::keyClick(memory, Qt::Key_Left);
        QTest::keyClicks(memory, "cda");
        QCOMPARE(memory->text(), "01CDB56789");

        QInputMethodEvent event;
        event.setCommitString(QStringLiteral("a\u00e91 e#"));
        ui.Text1->clear();
        QApplication::sendEvent(ui.Text1, &event);
        QCOMPARE(ui.Text1->text(), "A1#");
    }

    // Every keyboard paste and cut is refused; copy goes through the field's filter, which lets
    // it through here.
    void clipboardKeysFollowTheFilter()
    {
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->setText("123");
        if (clipboard->text() != "123")
            QSKIP("no clipboard on this platform");
        ui.Text1->setText("45");
        ui.Text1->selectAll();
        for (const char *keys : {"Ctrl+V", "Shift+Ins", "Ctrl+X"})
            QTest::keySequence(ui.Text1, QKeySequence(keys));
        QCOMPARE(ui.Text1->text(), "45");
        QCOMPARE(clipboard->text(), "123");
        QTest::keySequence(ui.Text1, QKeySequence::Copy);
        QCOMPARE(clipboard->text(), "45");
    }

    // Only a send corrects the timing fields, so they show whether one ran; with the button
    // disabled by an empty sequence the key still sends. A click counts too, blanks included.
    void text1CountsDigitsAndEnterSends()
    {
        ui.Text2->setText("10");
        ui.Text1->setText("12");
        QTest::keyClick(ui.Text1, Qt::Key_Return);
        QCOMPARE(ui.Text2->text(), "25");
        QCOMPARE(messages.shown.size(), 1); // the player could not open the missing device

        ui.Text1->setText("1");
        QTest::keyClick(ui.Text1, Qt::Key_Backspace);
        QCOMPARE(ui.Label3->text(), "Sequence to Send (0 digits)");
        QVERIFY(!ui.cmdTone->isEnabled());
        ui.Text2->setText("5");
        QTest::keyClick(ui.Text1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(ui.Text2->text(), "25");
        QTest::keyClicks(ui.Text1, "1a");
        QCOMPARE(ui.Label3->text(), "Sequence to Send (2 digits)");
        QVERIFY(ui.cmdTone->isEnabled());
        ui.Text1->setText("12 34");
        QTest::mouseClick(ui.Text1, Qt::LeftButton);
        QCOMPARE(ui.Label3->text(), "Sequence to Send (5 digits)");
    }

    // At the left edge, where the field itself would put the caret before the text.
    void clickSelectsAllInNumericFields()
    {
        for (QLineEdit *edit : {ui.Text2, ui.txtSeqOri}) {
            edit->setText("12");
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
        }
        QCOMPARE(ui.Text2->selectedText(), "12");
        QVERIFY(!ui.txtSeqOri->hasSelectedText()); // the sequence fields keep the caret
    }

    // An empty memory copies nothing.
    void doubleClickCopiesMemory()
    {
        showPage(0);
        ui.Text1->setText("99");
        QTest::mouseDClick(ui.txtMem[7], Qt::LeftButton);
        QCOMPARE(ui.Text1->text(), "99");
        QCOMPARE(ui.SSTab1->currentIndex(), 0);

        ui.txtMem[5]->setText("123A");
        QTest::mouseDClick(ui.txtMem[5], Qt::LeftButton);
        QCOMPARE(ui.Label3->text(), "Sequence to Send (4 digits)");
        QCOMPARE(ui.SSTab1->currentIndex(), 1);
        QCOMPARE(form->focusWidget(), ui.Text1);
        QCOMPARE(ui.Text1->selectedText(), "123A");
    }

    // One worked example, and each kind of refusal box and selection (the calculator's tests
    // hold every refusal's text and order): a refusal leaves Text1 as it was.
    void calculatorButton()
    {
        showPage(1);
        ui.txtCrcTag->setText("C");
        // A null title: no refusal. The field named is selected, with the focus.
        const std::tuple<const char *, const char *, const char *, MessageIcon, const char *,
                         const char *, const char *, const char *>
            rows[] = {
                {"1234", "5678", "#9", MessageIcon::None, nullptr, nullptr, "", "1234#95678C10"},
                {"1", "2", "#9", MessageIcon::Exclamation, "DTMF", nullptr, "", "0000"},
                {"129", "55", "9", MessageIcon::Information, "Warning", "txtSeqOri", "9", "0000"},
                {"1", "55#9", "#9", MessageIcon::Information, "Warning", "txtSeqNew", "#9", "0000"},
            };
        for (const auto &[oldCode, newCode, modifier, icon, title, field, selected, text1] : rows) {
            ui.Text1->setText("0000");
            ui.txtSeqCmd->setText(modifier);
            ui.txtSeqOri->setText(oldCode);
            ui.txtSeqNew->setText(newCode);
            messages.shown.clear();
            ui.cmdSeqCalc->setFocus();
            QTest::mouseClick(ui.cmdSeqCalc, Qt::LeftButton);

            QCOMPARE((QStringList{ui.Text1->text(), ui.txtSeqOri->text(), ui.txtSeqNew->text()}),
                     (QStringList{text1, oldCode, newCode}));
            QCOMPARE(ui.SSTab1->currentIndex(), 1);
            QCOMPARE(messages.shown.size(), title ? 1 : 0);
            if (!title) {
                // Text1_Click followed: the digit count speaks of the new sequence.
                QCOMPARE(ui.Label3->text(), "Sequence to Send (13 digits)");
                QVERIFY(ui.cmdTone->isEnabled());
                continue;
            }
            QCOMPARE(messages.shown[0].icon, icon);
            QCOMPARE(messages.shown[0].title, title);
            if (!field)
                continue;
            auto *edit = form->findChild<QLineEdit *>(field);
            QCOMPARE(QApplication::focusWidget(), edit);
            QCOMPARE(edit->selectedText(), selected);
        }
    }

    // A prefix of a memory is no match, and an empty field never matches an empty memory.
    // Editing a memory afterwards leaves the note as it was.
    void memoryNotes()
    {
        ui.txtMem[8]->setText("123");
        ui.txtMem[9]->setText("123");
        ui.txtMem[3]->setText("456");
        ui.txtSeqOri->setText("123");
        QCOMPARE(ui.Label6->text(), "Original Sequence [cmd 8]");
        ui.txtSeqNew->setText("456");
        QCOMPARE(ui.Label8->text(), "New Sequence  [cmd 3]");
        ui.txtSeqOri->setText("12");
        QCOMPARE(ui.Label6->text(), "Original Sequence");
        ui.txtSeqNew->clear();
        QCOMPARE(ui.Label8->text(), "New Sequence");
        ui.txtSeqNew->setText("456");
        ui.txtMem[3]->setText("457");
        QCOMPARE(ui.Label8->text(), "New Sequence  [cmd 3]");
    }

    // The selection lets the next key replace the digit; a free digit warns no more. The new
    // code field refuses the checksum digit, read at each key, not once.
    void checksumDigitWhenTyped()
    {
        showPage(0);
        ui.txtMem[3]->setText("1C4");
        ui.txtMem[7]->setText("CC");
        ui.txtCrcTag->setFocus();
        QTest::keyClicks(ui.txtCrcTag, "c");
        QCOMPARE(messages.shown.size(), 1); // its text is tst_formtone's
        QCOMPARE(ui.txtCrcTag->selectedText(), "C");
        QTest::keyClicks(ui.txtCrcTag, "5");
        QCOMPARE(ui.txtCrcTag->text(), "5");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(ui.lblCrcTag->text(), "[5]");

        QTest::keyClicks(ui.txtSeqNew, "1535");
        QCOMPARE(ui.txtSeqNew->text(), "13");
        ui.txtCrcTag->clear();
        QTest::keyClicks(ui.txtSeqNew, "5b");
        QCOMPARE(ui.txtSeqNew->text(), "135B");
    }
};

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
