#include "app/FormTone.h"
#include "config/ConfigSamples.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace keytoner;
using namespace keytoner::test;

namespace {

const QByteArray FirstStartLine = "\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\",\"300\",\"1\",\"1\","
                                  "\"200\"\r\n";

} // namespace

class TestFormTone : public QObject, public TestWindow {
    Q_OBJECT

private slots:
    void init() { QVERIFY(folder.isValid()); }
    void cleanup() { closeWindow(); }

    void settingsFileReplacedByTheDefaultLine_data();
    void settingsFileReplacedByTheDefaultLine();
    void startUpConfiguration_data();
    void startUpConfiguration();
    void closingWritesOnlyWhatReadsBack();
    void settingsSurviveARestart();
    void positionOnNoScreenGoesToThePrimaryScreen();
    void startsWithItsUnusedControlsHiddenAndLinkButtonsOff();

private:
    QString iniPath() const { return folder.path() + "/Keytoner2.ini"; }
    QByteArray readIni() const { return fileBytes(iniPath()); }
};

// A missing file, one that stops early and one with a tab that is no page are replaced at
// start-up; the window keeps what could be read (the first start's values for a missing file).
void TestFormTone::settingsFileReplacedByTheDefaultLine_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("txDelay");
    QTest::newRow("first start") << QByteArray() << QPoint(0, 0) << 0 << "0123456789*#ABCD"
                                 << "200";
    QTest::newRow("short") << QByteArray("\"\",150,300,1,\"55\"\r\n") << QPoint(150, 300) << 1
                           << "55"
                           << "";
    QTest::newRow("bad tab") << QByteArray("\"\",30,45,2,\"9*\",\"70\",\"30\",\"200\",\"2\","
                                           "\"3\",\"500\"\r\n")
                             << QPoint(30, 45) << 0 << "9*"
                             << "500";
}

void TestFormTone::settingsFileReplacedByTheDefaultLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QPoint, position);
    QFETCH(int, tab);
    QFETCH(QString, sequence);
    QFETCH(QString, txDelay);
    if (!content.isEmpty())
        QVERIFY(writeFile(iniPath(), content));
    openWindow();
    ui.SSTabCmd->setCurrentIndex(1);
    form->Form_Load();

    QCOMPARE(readIni(), '"' + folder.path().toUtf8() + "/Default.prg" + FirstStartLine);
    QCOMPARE(form->positionTwips(), position);
    QCOMPARE(ui.SSTab1->currentIndex(), tab);
    QCOMPARE(ui.SSTabCmd->currentIndex(), 0);
    QCOMPARE(ui.Text1->text(), sequence);
    QCOMPARE(ui.txtTxd->text(), txDelay);
    // No configuration to load (none saved yet, or an empty path): nothing failed for the user.
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(form->ConfigFilePath.isEmpty());
}

void TestFormTone::startUpConfiguration_data()
{
    QTest::addColumn<bool>("settingsFile");
    QTest::addColumn<QString>("configName");
    QTest::addColumn<bool>("configExists");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<bool>("remembered");
    QTest::newRow("first start, no Default.prg")
        << false << "Default.prg" << false << false << false;
    QTest::newRow("first start, Default.prg saved")
        << false << "Default.prg" << true << false << true;
    QTest::newRow("file on a stick not plugged in")
        << true << "stick/club.prg" << false << true << true;
    QTest::newRow("remembered Default.prg gone") << true << "Default.prg" << false << true << true;
}

void TestFormTone::startUpConfiguration()
{
    QFETCH(bool, settingsFile);
    QFETCH(QString, configName);
    QFETCH(bool, configExists);
    QFETCH(bool, reported);
    QFETCH(bool, remembered);
    const QString config = folder.path() + '/' + configName;
    if (settingsFile)
        QVERIFY(writeFile(iniPath(),
                          '"' + config.toUtf8() +
                              "\",0,0,0,\"1\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n"));
    if (configExists)
        QVERIFY(writeFile(config, test::exampleFile()));
    openWindow();
    form->Form_Load();

    QCOMPARE(messages.shown.size(), qsizetype(reported ? 1 : 0));
    if (reported)
        QCOMPARE(messages.shown[0].title, "Unable to load data file " + config);
    QCOMPARE(ui.txtCallID->text(), QString(configExists ? "TEST" : ""));
    QVERIFY(form->close());
    QVERIFY(readIni().startsWith('"' + (remembered ? config.toUtf8() : QByteArray()) + "\","));
}

// A path the line cannot carry keeps the old file and says so; the sending fields drop the
// characters that would shift the fields after them.
void TestFormTone::closingWritesOnlyWhatReadsBack()
{
    openWindow();
    form->Form_Load();
    ui.Text1->setText("1\"2,3"); // pasted: the entry rules do not see it
    QVERIFY(form->close());
    const QByteArray before = readIni();
    openWindow();
    form->Form_Load();
    QCOMPARE(ui.Text1->text(), QString("12,3"));
    form->ConfigFilePath = folder.path() + "/\"quoted\".prg";
    QVERIFY(form->close());
    QCOMPARE(readIni(), before);
    QCOMPARE(messages.shown.size(), qsizetype(1));
    QVERIFY(messages.shown[0].text.contains("double quote"));
}

void TestFormTone::settingsSurviveARestart()
{
    openWindow();
    form->Form_Load();
    form->show();
    form->move(80, 40);
    ui.SSTab1->setCurrentIndex(1);
    ui.Text1->setText(QStringLiteral("12#A"));
    ui.Text2->setText(QStringLiteral("75"));
    ui.txtTxd->setText(QStringLiteral("350"));
    form->ConfigFilePath = folder.path() + "/club.prg";
    QVERIFY(form->close());
    QVERIFY(readIni().startsWith('"' + folder.path().toUtf8() +
                                 "/club.prg\",1200,600,1,\"12#A\",\"75\",\"40\""));

    openWindow();
    form->Form_Load();
    QCOMPARE(form->pos(), QPoint(80, 40));
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    QCOMPARE(ui.Text1->text(), QStringLiteral("12#A"));
    QCOMPARE(ui.Text2->text(), QStringLiteral("75"));
    QCOMPARE(ui.txtTxd->text(), QStringLiteral("350"));
}

void TestFormTone::positionOnNoScreenGoesToThePrimaryScreen()
{
    QVERIFY(writeFile(iniPath(),
                      "\"\",-30000,30000,0,\"1\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n"));
    openWindow();
    form->Form_Load();
    QCOMPARE(form->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

void TestFormTone::startsWithItsUnusedControlsHiddenAndLinkButtonsOff()
{
    openWindow();
    for (QWidget *hidden : std::initializer_list<QWidget *>{ui.Text4, ui.Label15, ui.Label14})
        QVERIFY(hidden->isHidden() && !hidden->isEnabled());
    QVERIFY(ui.Frame9->isHidden() && ui.Frame10->isHidden() && ui.Frame11->isHidden());
    QVERIFY(!ui.cmdSend->isEnabled() && !ui.cmdRead->isEnabled());
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(ui.Timer1->isActive());
    QVERIFY(!ui.tmrTimeOut->isActive());
}

QTEST_MAIN(TestFormTone)
#include "tst_formtone.moc"
