// Typing, clicking and double-clicking in the window's text fields.
#include "app/FormTone.h"
#include "app/SenderPanel.h"
#include "platform/AudioOutput.h"
#include "platform/Platform.h"
#include "support/FakePlatform.h"
#include "support/FakeSerial.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace keytoner;

namespace {

// No sound device: a send reaches the player, which reports the failed open.
class NoAudio : public AudioSystem {
public:
    int outputDeviceCount() override { return 0; }
    std::unique_ptr<AudioOutput> createOutput() override { return nullptr; }
};

} // namespace

class TestEntryRules : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingKeepsEachFieldsAlphabet_data();
    void typingKeepsEachFieldsAlphabet();
    void upperCasingReplacesTheSelectionWithinMaxLength();
    void newCodeRefusesTheChecksumDigit();
    void composedTextIsFiltered();
    void editingKeysStillWork();
    void keyboardPasteAndCutAreSwallowed();
    void copyWorksOnlyWhereAllowed();
    void digitCountFollowsTyping();
    void enterInText1Sends();
    void enterElsewhereDoesNothing();
    void clickSelectsAllInNumericFields();
    void clickInText1RefreshesCount();
    void doubleClickCopiesMemory();
    void doubleClickOnEmptyMemoryDoesNothing();

private:
    QLineEdit *field(const QString &name) { return form->findChild<QLineEdit *>(name); }

    QTemporaryDir folder;
    test::FakeMessageBoxes messages;
    test::FakeFileDialogs files;
    test::FakeClock clock;
    NoAudio audio;
    test::FakeSerialFactory serial;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<FormTone> form;
};

void TestEntryRules::init()
{
    platform = std::make_unique<Platform>(Platform{messages, files, clock, audio, serial});
    form = std::make_unique<FormTone>(*platform, folder.path());
    clock.sleeps.clear();
    messages.shown.clear();
}

void TestEntryRules::cleanup()
{
    form.reset();
}

void TestEntryRules::typingKeepsEachFieldsAlphabet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sequence") << "Text1" << 1024 << "12abcd*#e f+"
                              << "12ABCD*#";
    QTest::newRow("memory") << "txtMem_3" << 10 << "0123456789AB"
                            << "0123456789";
    QTest::newRow("memory upper-cased at the limit") << "txtMem_15" << 10 << "012345678cd"
                                                     << "012345678C";
    QTest::newRow("modifier ID") << "txtSeqCmd" << 8 << "a1b2c3d4e5"
                                 << "A1B2C3D4";
    QTest::newRow("original code") << "txtSeqOri" << 10 << "x#*9"
                                   << "#*9";
    QTest::newRow("checksum ID") << "txtCrcTag" << 1 << "eb7"
                                 << "B";
    QTest::newRow("call sign") << "txtCallID" << 6 << "iz/1-?=ab"
                               << "IZ1?=A";
    QTest::newRow("call sign blank and signs") << "txtCallID" << 6 << " :;<@"
                                               << " :;<@";
    QTest::newRow("digit duration") << "Text2" << 4 << "1a2.3 4-5"
                                    << "1234";
    QTest::newRow("interdigit") << "Text3" << 3 << "9x99"
                                << "999";
    QTest::newRow("TX delay") << "txtTxd" << 0 << "2,000"
                              << "2000";
    QTest::newRow("PTT port") << "txtPttCom" << 0 << "c1o6"
                              << "16";
    QTest::newRow("programming port") << "txtPrgComm" << 2 << "c3"
                                      << "3";
    QTest::newRow("morse speed") << "txtMorseSpeed" << 3 << "20 wpm"
                                 << "20";
    QTest::newRow("timer") << "txtTmr2" << 3 << "1e2"
                           << "12";
    QTest::newRow("battery high") << "txtBhi" << 4 << "12.5V"
                                  << "12.5";
    QTest::newRow("battery low dots") << "txtBlo" << 4 << "1..2"
                                      << "1..2";
    QTest::newRow("battery low comma") << "txtBlo" << 4 << "11,5"
                                       << "115";
}

void TestEntryRules::typingKeepsEachFieldsAlphabet()
{
    QFETCH(QString, name);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QLineEdit *edit = field(name);
    QVERIFY2(edit, qPrintable(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
}

void TestEntryRules::upperCasingReplacesTheSelectionWithinMaxLength()
{
    QLineEdit *memory = form->txtMem[0];
    memory->setMaxLength(10);
    memory->setText(QStringLiteral("0123456789"));
    memory->setSelection(2, 3);
    QTest::keyClick(memory, Qt::Key_B, Qt::NoModifier);
    QCOMPARE(memory->text(), QStringLiteral("01B56789"));
    QCOMPARE(memory->cursorPosition(), 3);

    memory->setText(QStringLiteral("0123456789"));
    QTest::keyClick(memory, Qt::Key_A, Qt::NoModifier);
    QCOMPARE(memory->text(), QStringLiteral("0123456789"));
}

void TestEntryRules::newCodeRefusesTheChecksumDigit()
{
    form->txtCrcTag->setText(QStringLiteral("7"));
    form->txtSeqNew->clear();
    QTest::keyClicks(form->txtSeqNew, QStringLiteral("1737"));
    QCOMPARE(form->txtSeqNew->text(), QStringLiteral("13"));

    form->txtCrcTag->setText(QStringLiteral("B"));
    form->txtSeqNew->clear();
    QTest::keyClicks(form->txtSeqNew, QStringLiteral("7bab"));
    QCOMPARE(form->txtSeqNew->text(), QStringLiteral("7A"));

    form->txtCrcTag->clear();
    form->txtSeqNew->clear();
    QTest::keyClicks(form->txtSeqNew, QStringLiteral("7b"));
    QCOMPARE(form->txtSeqNew->text(), QStringLiteral("7B"));
}

void TestEntryRules::composedTextIsFiltered()
{
    auto commit = [](QLineEdit *edit, const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(edit, &event);
    };
    form->Text1->clear();
    commit(form->Text1, QStringLiteral("a\u00e91 e#"));
    QCOMPARE(form->Text1->text(), QStringLiteral("A1#"));
    form->txtBhi->clear();
    commit(form->txtBhi, QStringLiteral("1,2.5"));
    QCOMPARE(form->txtBhi->text(), QStringLiteral("12.5"));
}

void TestEntryRules::editingKeysStillWork()
{
    QLineEdit *edit = form->Text2;
    edit->setText(QStringLiteral("123"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->text(), QStringLiteral("192"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("92"));
    QTest::keyClick(edit, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(edit->text(), QStringLiteral("92"));
}

void TestEntryRules::keyboardPasteAndCutAreSwallowed()
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("123"));
    // The context menu's paste goes straight to the field and stays unfiltered.
    QLineEdit *edit = form->txtMem[1];
    edit->clear();
    edit->paste();
    if (edit->text() != QStringLiteral("123"))
        QSKIP("no clipboard on this platform");

    for (QLineEdit *target : {form->Text1, form->txtMem[2], form->Text2, form->txtCallID}) {
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
    if (copyFrom(form->txtSeqOri, QStringLiteral("123")) != QStringLiteral("123"))
        QSKIP("no clipboard on this platform");
    QCOMPARE(copyFrom(form->Text1, QStringLiteral("4#")), QStringLiteral("4#"));
    QCOMPARE(copyFrom(form->txtCrcTag, QStringLiteral("5")), QStringLiteral("before"));
    QCOMPARE(copyFrom(form->Text2, QStringLiteral("60")), QStringLiteral("before"));
    QCOMPARE(copyFrom(form->txtCallID, QStringLiteral("IZ1")), QStringLiteral("before"));
}

void TestEntryRules::digitCountFollowsTyping()
{
    form->Text1->clear();
    form->sender().Text1_Click();
    QVERIFY(!form->cmdTone->isEnabled());
    QTest::keyClicks(form->Text1, QStringLiteral("1a"));
    QCOMPARE(form->Label3->text(), QStringLiteral("Sequence to Send (2 digits)"));
    QVERIFY(form->cmdTone->isEnabled());
    QTest::keyClick(form->Text1, Qt::Key_Backspace);
    QTest::keyClick(form->Text1, Qt::Key_Backspace);
    QCOMPARE(form->Label3->text(), QStringLiteral("Sequence to Send (0 digits)"));
    QVERIFY(!form->cmdTone->isEnabled());
}

void TestEntryRules::enterInText1Sends()
{
    // Only a send corrects the timing fields, so they show whether one ran.
    form->Text2->setText(QStringLiteral("10"));
    form->Text1->setText(QStringLiteral("12"));
    QTest::keyClick(form->Text1, Qt::Key_Return);
    QCOMPARE(form->Text1->text(), QStringLiteral("12"));
    QCOMPARE(form->Text2->text(), QStringLiteral("25"));
    QCOMPARE(messages.shown.size(), 1); // the player could not open the missing device

    // With the button disabled by an empty sequence the key still sends.
    form->Text1->clear();
    form->sender().Text1_Click();
    QVERIFY(!form->cmdTone->isEnabled());
    form->Text2->setText(QStringLiteral("5"));
    QTest::keyClick(form->Text1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(form->Text2->text(), QStringLiteral("25"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(form->Text1->text(), QString());
}

void TestEntryRules::enterElsewhereDoesNothing()
{
    form->Text2->setText(QStringLiteral("10"));
    form->Text1->setText(QStringLiteral("12"));
    for (QLineEdit *edit : {form->Text2, form->txtMem[0], form->txtCallID})
        QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(form->Text2->text(), QStringLiteral("10"));
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
    QLineEdit *original = form->txtSeqOri;
    original->setText(QStringLiteral("12"));
    original->deselect();
    QTest::mouseClick(original, Qt::LeftButton, {}, QPoint(2, original->height() / 2));
    QVERIFY(!original->hasSelectedText());
}

void TestEntryRules::clickInText1RefreshesCount()
{
    form->Text1->setText(QStringLiteral("12 34"));
    QTest::mouseClick(form->Text1, Qt::LeftButton);
    QCOMPARE(form->Label3->text(), QStringLiteral("Sequence to Send (5 digits)"));
    QVERIFY(form->cmdTone->isEnabled());
}

void TestEntryRules::doubleClickCopiesMemory()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->SSTab1->setCurrentIndex(0);
    form->Text1->clear();
    form->sender().Text1_Click();
    form->txtMem[5]->setText(QStringLiteral("123A"));
    QTest::mouseDClick(form->txtMem[5], Qt::LeftButton);
    QCOMPARE(form->Text1->text(), QStringLiteral("123A"));
    QCOMPARE(form->Label3->text(), QStringLiteral("Sequence to Send (4 digits)"));
    QVERIFY(form->cmdTone->isEnabled());
    QCOMPARE(form->SSTab1->currentIndex(), 1);
    QCOMPARE(form->focusWidget(), form->Text1);
    QCOMPARE(form->Text1->selectedText(), QStringLiteral("123A"));
}

void TestEntryRules::doubleClickOnEmptyMemoryDoesNothing()
{
    form->SSTab1->setCurrentIndex(0);
    form->Text1->setText(QStringLiteral("99"));
    form->txtMem[7]->clear();
    QTest::mouseDClick(form->txtMem[7], Qt::LeftButton);
    QCOMPARE(form->Text1->text(), QStringLiteral("99"));
    QCOMPARE(form->SSTab1->currentIndex(), 0);
}

QTEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
