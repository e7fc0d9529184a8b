#include "app/FormTone.h"
#include "app/InstructionsWindow.h"
#include "app/MessageDialog.h"
#include "app/SettingsFile.h"
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

using namespace keytoner;
using namespace keytoner::test;

namespace {

const QByteArray kFirstStartLine =
    "\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\",\"300\",\"1\",\"1\","
    "\"200\"\r\n";

const QByteArray kNoConfigLine =
    "\"\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n";

} // namespace

class TestFormTone : public QObject, public TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartCreatesTheFileAndShowsItsDefaults();
    void settingsSurviveARestart();
    void shortFileKeepsWhatItHasAndIsReplaced();
    void positionOutOfRangeKeepsOnlyTheConfigurationPath();
    void badTabStillAppliesTheFieldsAfterIt();
    void positionOnNoScreenGoesToThePrimaryScreen();
    void closingWritesEvenWhenTheFolderIsGone();
    void closingHidesTheMessageDialog();
    void closingIsRefusedWhileASequencePlays();

    void controlsCarryTheirCaptionsAndLimits();
    void windowHasAFixedSizeAndTimersAsDesigned();

    void noSoundOutputWarnsAndDisablesSending();
    void soundOutputPresentSaysNothing();
    void f1OpensTheManualFromAnyField();

private:
    QString iniPath() const { return folder.path() + "/Keytoner2.ini"; }
    void writeIni(const QByteArray &content);
    QByteArray readIni() const;
    QByteArray firstStartLine() const
    {
        return '"' + folder.path().toUtf8() + "/Default.prg" + kFirstStartLine;
    }
};

void TestFormTone::init()
{
    QVERIFY(folder.isValid());
}

void TestFormTone::cleanup()
{
    if (InstructionsWindow *manual = InstructionsWindow::instance())
        delete manual;
    closeWindow();
}

void TestFormTone::writeIni(const QByteArray &content)
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TestFormTone::readIni() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestFormTone::firstStartCreatesTheFileAndShowsItsDefaults()
{
    openWindow();
    auto &window = form;
    window->Form_Load();

    QCOMPARE(readIni(), firstStartLine());
    QCOMPARE(window->Text1->text(), QStringLiteral("0123456789*#ABCD"));
    QCOMPARE(window->Text2->text(), QStringLiteral("60"));
    QCOMPARE(window->Text3->text(), QStringLiteral("40"));
    QCOMPARE(window->Text4->text(), QStringLiteral("300"));
    QCOMPARE(window->txtPttCom->text(), QStringLiteral("1"));
    QCOMPARE(window->txtPrgComm->text(), QStringLiteral("1"));
    QCOMPARE(window->txtTxd->text(), QStringLiteral("200"));
    QCOMPARE(window->positionTwips(), QPoint(0, 0));
    QCOMPARE(window->SSTab1->currentIndex(), 0);
    QCOMPARE(window->SSTabCmd->currentIndex(), 0);
    // The default configuration is asked for; there is none in a new folder.
    QCOMPARE(messages.shown.size(), qsizetype(1));
    QCOMPARE(messages.shown[0].title,
             QStringLiteral("Unable to load data file ") + folder.path() + "/Default.prg");
}

void TestFormTone::settingsSurviveARestart()
{
    {
        openWindow();
        auto &window = form;
        window->Form_Load();
        window->show();
        window->move(80, 40);
        window->SSTab1->setCurrentIndex(1);
        window->Text1->setText(QStringLiteral("12#A"));
        window->Text2->setText(QStringLiteral("75"));
        window->txtTxd->setText(QStringLiteral("350"));
        window->ConfigFilePath = folder.path() + "/club.prg";
        QVERIFY(window->close());
    }
    QVERIFY(readIni().startsWith('"' + folder.path().toUtf8() +
                                 "/club.prg\",1200,600,1,\"12#A\",\"75\",\"40\""));

    openWindow();
    auto &window = form;
    window->Form_Load();
    QCOMPARE(window->pos(), QPoint(80, 40));
    QCOMPARE(window->SSTab1->currentIndex(), 1);
    QCOMPARE(window->Text1->text(), QStringLiteral("12#A"));
    QCOMPARE(window->Text2->text(), QStringLiteral("75"));
    QCOMPARE(window->txtTxd->text(), QStringLiteral("350"));
}

void TestFormTone::shortFileKeepsWhatItHasAndIsReplaced()
{
    writeIni("\"\",150,300,1,\"55\"\r\n");
    openWindow();
    auto &window = form;
    window->Form_Load();

    QCOMPARE(readIni(), firstStartLine());
    QCOMPARE(window->positionTwips(), QPoint(150, 300));
    QCOMPARE(window->SSTab1->currentIndex(), 1);
    QCOMPARE(window->Text1->text(), QStringLiteral("55"));
    QVERIFY(window->Text2->text().isEmpty());
    QVERIFY(window->txtTxd->text().isEmpty());

    // Closing writes what the window holds now, empty fields included.
    QVERIFY(window->close());
    QCOMPARE(readIni(), QByteArray("\"\",150,300,1,\"55\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
}

void TestFormTone::positionOutOfRangeKeepsOnlyTheConfigurationPath()
{
    writeIni("\"\",40000,15,1,\"123\",\"70\",\"30\",\"200\",\"2\",\"3\",\"500\"\r\n");
    openWindow();
    auto &window = form;
    window->Form_Load();

    QCOMPARE(readIni(), firstStartLine());
    QCOMPARE(window->positionTwips(), QPoint(0, 0));
    QCOMPARE(window->SSTab1->currentIndex(), 0);
    QVERIFY(window->Text1->text().isEmpty());
    QVERIFY(window->Text2->text().isEmpty());
    QVERIFY(window->txtPttCom->text().isEmpty());
}

void TestFormTone::badTabStillAppliesTheFieldsAfterIt()
{
    writeIni("\"\",30,45,2,\"9*\",\"70\",\"30\",\"200\",\"2\",\"3\",\"500\"\r\n");
    openWindow();
    auto &window = form;
    window->SSTabCmd->setCurrentIndex(1);
    window->Form_Load();

    QCOMPARE(readIni(), firstStartLine());
    QCOMPARE(window->positionTwips(), QPoint(30, 45));
    QCOMPARE(window->SSTab1->currentIndex(), 0);
    QCOMPARE(window->Text1->text(), QStringLiteral("9*"));
    QCOMPARE(window->Text3->text(), QStringLiteral("30"));
    QCOMPARE(window->txtPrgComm->text(), QStringLiteral("3"));
    QCOMPARE(window->txtTxd->text(), QStringLiteral("500"));
    QCOMPARE(window->SSTabCmd->currentIndex(), 0);
    // An empty configuration path loads nothing: no file, no complaint.
    QVERIFY(window->ConfigFilePath.isEmpty());
    QVERIFY(messages.shown.isEmpty());
}

void TestFormTone::positionOnNoScreenGoesToThePrimaryScreen()
{
    writeIni("\"\",-30000,30000,0,\"1\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n");
    openWindow();
    auto &window = form;
    window->Form_Load();
    QCOMPARE(window->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

void TestFormTone::closingWritesEvenWhenTheFolderIsGone()
{
    openWindow();
    auto &window = form;
    window->Form_Load();
    window->show();
    QVERIFY(QDir(folder.path()).removeRecursively());
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(!QFile::exists(iniPath()));
}

void TestFormTone::closingHidesTheMessageDialog()
{
    openWindow();
    auto &window = form;
    window->Form_Load();
    window->show();
    window->dialog().show();
    QVERIFY(window->close());
    QVERIFY(!window->dialog().isVisible());
    // Nothing that counts as a main window stays up, so the program ends here.
    for (const QWindow *shown : QGuiApplication::topLevelWindows())
        QVERIFY(!shown->isVisible() || shown->transientParent());
}

void TestFormTone::closingIsRefusedWhileASequencePlays()
{
    writeIni(kNoConfigLine);
    openWindow();
    auto &window = form;
    window->startUp();
    audio.plan.finishMs = 300;
    window->player().DigitTime = 0.3;
    window->player().SetToneTiming();
    bool closedWhilePlaying = true;
    QTimer::singleShot(50, window.get(), [&] { closedWhilePlaying = window->close(); });
    window->player().SuonaSequenza(QStringLiteral("1"));

    QVERIFY(!closedWhilePlaying);
    QCOMPARE(messages.shown.size(), qsizetype(1));
    QCOMPARE(messages.shown[0].icon, MessageIcon::Information);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Keytoner v2"));
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("Please wait end of sound before closing application."));
    QCOMPARE(readIni(), kNoConfigLine); // nothing written by the refused close
    QVERIFY(window->close());
}

void TestFormTone::controlsCarryTheirCaptionsAndLimits()
{
    openWindow();
    auto &window = form;
    auto *mem3 = window->findChild<QLineEdit *>(QStringLiteral("txtMem_3"));
    QVERIFY(mem3);
    QCOMPARE(mem3->maxLength(), 10);
    QVERIFY(mem3->font().bold());
    QCOMPARE(mem3->toolTip(),
             QStringLiteral(
                 "DTMF sequence (0 to 10 digits). Double Click to copy in Sequence to Send."));
    QCOMPARE(
        window->txtMem[11]->toolTip(),
        QStringLiteral("DTMF sequence (1 to 10 digits). Double Click to copy in Sequence to Send"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblCommands_8"))->text(),
             QStringLiteral("8: Send Status"));

    QCOMPARE(window->Text1->maxLength(), 1024);
    QVERIFY(window->Text1->font().fixedPitch() || QFontInfo(window->Text1->font()).fixedPitch());
    QCOMPARE(window->Text2->text(), QStringLiteral("50"));
    QCOMPARE(window->Text4->text(), QStringLiteral("1000"));
    QCOMPARE(window->txtCrcTag->maxLength(), 1);
    QCOMPARE(window->txtTxd->maxLength(), QLineEdit().maxLength());
    QCOMPARE(window->txtCallID->toolTip(),
             QStringLiteral("CW Call to be transmitted in reply (0-6 char)"));

    QCOMPARE(window->SSTab1->tabText(1), QStringLiteral("Remote Modify / Send"));
    QCOMPARE(window->SSTabCmd->tabText(0), QStringLiteral(" Default Commands"));
    QCOMPARE(window->SSTabCmd->tabText(1), QStringLiteral(" Special Commands"));
    QVERIFY(window->SSTabCmd->widget(1)->isAncestorOf(window->Frame8));
    QVERIFY(window->SSTab1->widget(1)->isAncestorOf(window->Text1));

    QVERIFY(!window->cmdSend->isEnabled());
    QVERIFY(!window->cmdRead->isEnabled());
    QCOMPARE(window->cmdSend->text(), QStringLiteral("PROGRAM"));
    for (QWidget *hidden :
         {static_cast<QWidget *>(window->Text4), static_cast<QWidget *>(window->Label15),
          static_cast<QWidget *>(window->Label14)}) {
        QVERIFY(hidden->isHidden());
        QVERIFY(!hidden->isEnabled());
    }
    QVERIFY(window->Frame9->isHidden() && window->Frame10->isHidden() &&
            window->Frame11->isHidden());
    QCOMPARE(window->Frame11->title(), QStringLiteral("15: Frame11"));

    QPushButton *output = window->findChild<QPushButton *>(QStringLiteral("chkOutput_2"));
    QVERIFY(output && output->isCheckable() && !output->isChecked());
    QCOMPARE(output->text(), QStringLiteral("Output 3 OFF"));
    QCOMPARE(window->lblSeqCmd->text(), QStringLiteral("[]"));
    QVERIFY(!window->lblInfoSend->text().isEmpty());
}

void TestFormTone::windowHasAFixedSizeAndTimersAsDesigned()
{
    openWindow();
    auto &window = form;
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("Keytoner v2")));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));

    QVERIFY(window->Timer1->isActive());
    QCOMPARE(window->Timer1->interval(), 20000);
    QVERIFY(!window->tmrTimeOut->isActive());
    QCOMPARE(window->tmrTimeOut->interval(), 2400);
}

void TestFormTone::noSoundOutputWarnsAndDisablesSending()
{
    audio.deviceCount = 0;
    writeIni(kNoConfigLine);
    openWindow();
    auto &window = form;
    window->startUp();

    QCOMPARE(messages.shown.size(), qsizetype(1));
    QCOMPARE(messages.shown[0].icon, MessageIcon::Critical);
    QCOMPARE(messages.shown[0].title, QStringLiteral("DTMF"));
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("Questo PC non ha schede audio.\r\n"
                            "Il programma non pu\u00F2 inviare i toni DTMF"));
    QVERIFY(!window->cmdTone->isEnabled());
    QVERIFY(window->isVisible());
}

void TestFormTone::soundOutputPresentSaysNothing()
{
    writeIni(kNoConfigLine);
    openWindow();
    auto &window = form;
    window->startUp();
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(window->cmdTone->isEnabled());
}

void TestFormTone::f1OpensTheManualFromAnyField()
{
    openWindow();
    auto &window = form;
    window->startUp();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->txtMem[4]->setFocus();
    QTest::keyClick(window->txtMem[4], Qt::Key_F1, Qt::ShiftModifier);

    QVERIFY(InstructionsWindow::instance());
    QCOMPARE(InstructionsWindow::instance()->windowTitle(), QStringLiteral(" Keytoner v2"));
    QVERIFY(window->txtMem[4]->text().isEmpty());
}

QTEST_MAIN(TestFormTone)
#include "tst_formtone.moc"
