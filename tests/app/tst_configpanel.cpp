// The configuration in the window: power-on buttons, PROGRAM's validation, showing a read
// image, and saving and loading configuration files.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "config/ConfigSamples.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace keytoner;
using keytoner::test::exampleFile;
using keytoner::test::fileBytes;
using keytoner::test::writeFile;

namespace {

// Makes writes of more than a few bytes fail for as long as it lives.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

} // namespace

class TestConfigPanel : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void outputCaptionsFollowTheValue();
    void buildRefusesWithAWarning();
    void showingAnImageRunsTheChangeHandlers();
    void saveWritesTheFileAndKeepsTheTitle();
    void cancelledDialogsChangeNothing();
    void failedSaveKeepsTheOldFileAndPath();
    void loadRestoresEveryFieldAndSetsTheTitle();
    void shortFileKeepsWhatItSet();
    void differentPortEndsProgrammingFirst();
    void checksumWarningWaitsForTheWholeConfiguration_data();
    void checksumWarningWaitsForTheWholeConfiguration();

private:
    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }
    void fillExample();
};

void TestConfigPanel::init()
{
    openWindow();
}

void TestConfigPanel::cleanup()
{
    closeWindow();
}

void TestConfigPanel::fillExample()
{
    ui.chkOutput[0]->setChecked(true);
    ui.chkOutput[2]->setChecked(true);
    ui.txtSeqCmd->setText("123");
    ui.txtCrcTag->setText("#");
    ui.chkMorse->setChecked(true);
    ui.txtMorseSpeed->setText("20");
    ui.txtCallID->setText("TEST");
    ui.txtTmr2->setText("10");
    ui.chkBCheck->setChecked(true);
    ui.txtBlo->setText("11.5");
    ui.txtBhi->setText("13.8");
    ui.txtMem[0]->setText("11");
    ui.txtMem[1]->setText("10");
    ui.txtPrgComm->setText("1");
}

void TestConfigPanel::outputCaptionsFollowTheValue()
{
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ui.chkOutput[i]->text(), QStringLiteral("Output %1 OFF").arg(i + 1));
    QVERIFY(!ui.chkMorse->isChecked());
    QVERIFY(!ui.chkBCheck->isChecked());

    QTest::mouseClick(ui.chkOutput[2], Qt::LeftButton);
    QCOMPARE(ui.chkOutput[2]->text(), QString("Output 3 ON"));
    ui.chkOutput[3]->setChecked(true); // changes by the program count as well
    QCOMPARE(ui.chkOutput[3]->text(), QString("Output 4 ON"));
}

void TestConfigPanel::buildRefusesWithAWarning()
{
    ConfigImage image;
    image.fill(0x33);
    QVERIFY(!form->config().BuildConfigImage(image));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QCOMPARE(messages.shown[0].title, QString("Warning"));
    QCOMPARE(messages.shown[0].text, QString("Checksum ID empty."));
    QCOMPARE(image[0], 0x33);
}

void TestConfigPanel::showingAnImageRunsTheChangeHandlers()
{
    fillExample();
    ConfigImage image{};
    QVERIFY(form->config().BuildConfigImage(image));
    image[0] = 0xFF;
    for (QLineEdit *field : {ui.txtSeqCmd, ui.txtCrcTag, ui.txtCallID, ui.txtMem[0], ui.txtMem[1]})
        field->clear();
    ui.txtMem[7]->setText("999");
    QSignalSpy modifierChanged(ui.txtSeqCmd, &QLineEdit::textChanged);
    QSignalSpy checksumChanged(ui.txtCrcTag, &QLineEdit::textChanged);

    form->config().ShowConfigImage(image);

    QCOMPARE(modifierChanged.size(), 1);
    QCOMPARE(checksumChanged.size(), 1);
    QCOMPARE(ui.txtSeqCmd->text(), QString("123"));
    QCOMPARE(ui.txtCrcTag->text(), QString("#"));
    QCOMPARE(ui.txtCallID->text(), QString("TEST"));
    QCOMPARE(ui.txtMem[0]->text(), QString("11"));
    QCOMPARE(ui.txtMem[7]->text(), QString(""));
    QCOMPARE(ui.txtBlo->text(), QString("11.5"));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ui.chkOutput[i]->text(), QStringLiteral("Output %1 ON").arg(i + 1));
    QVERIFY(ui.chkMorse->isChecked());
    QVERIFY(ui.chkBCheck->isChecked());
}

void TestConfigPanel::saveWritesTheFileAndKeepsTheTitle()
{
    fillExample();
    const QString title = form->windowTitle();
    const QString target = path("board one"); // no extension is added
    files.answers.push_back(target);
    QTest::mouseClick(ui.cmdSave, Qt::LeftButton);

    QCOMPARE(files.requests.size(), 1);
    QCOMPARE(files.requests[0].title, QString("Salva File"));
    QCOMPARE(files.requests[0].folder, folder.path());
    QCOMPARE(files.requests[0].proposedName, QString("Default.prg"));
    QCOMPARE(files.requests[0].filters,
             QStringList({"File di configurazione (*.prg)", "Tutti i files (*)"}));
    QCOMPARE(fileBytes(target), exampleFile());
    QCOMPARE(form->ConfigFilePath, target);
    QCOMPARE(form->windowTitle(), title);
    QVERIFY(messages.shown.isEmpty());
}

void TestConfigPanel::cancelledDialogsChangeNothing()
{
    fillExample();
    form->ConfigFilePath = "before";
    const QString title = form->windowTitle();
    QTest::mouseClick(ui.cmdSave, Qt::LeftButton);
    QTest::mouseClick(ui.cmdLoad, Qt::LeftButton);
    QCOMPARE(files.requests.size(), 2);
    QCOMPARE(files.requests[1].title, QString("Apertura File"));
    QCOMPARE(files.requests[1].proposedName, QString("Default.prg"));
    QCOMPARE(form->ConfigFilePath, QString("before"));
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(messages.shown.isEmpty());
}

void TestConfigPanel::failedSaveKeepsTheOldFileAndPath()
{
    const QString target = path("Default.prg");
    QVERIFY(writeFile(target, "an older configuration, longer than the limit"));
    form->ConfigFilePath = "before";
    fillExample();
    files.answers.push_back(target);
    {
        FileSizeLimit limit;
        form->config().cmdSave_Click();
    }
    QCOMPARE(fileBytes(target), QByteArray("an older configuration, longer than the limit"));
    QCOMPARE(form->ConfigFilePath, QString("before"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QString("Warning"));
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QVERIFY(!messages.shown[0].text.isEmpty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"Default.prg"});
}

void TestConfigPanel::loadRestoresEveryFieldAndSetsTheTitle()
{
    fillExample();
    const BoardConfig saved = form->config().fields();
    const QString target = path("Example.prg");
    QCOMPARE(saveConfigFile(target, saved), std::nullopt);

    form.reset();
    init();
    ui.txtPrgComm->setText("3");
    files.answers.push_back(target);
    QTest::mouseClick(ui.cmdLoad, Qt::LeftButton);

    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(form->config().fields(), saved);
    QCOMPARE(ui.chkOutput[0]->text(), QString("Output 1 ON"));
    QCOMPARE(form->ConfigFilePath, target);
    QCOMPARE(form->windowTitle(), QString("Keytoner v2 - Example.prg"));

    // Whichever separator the path uses, the title shows the name after the last one.
    const QString windowsStyle = path("sub") + "\\Other.prg";
    QVERIFY(writeFile(windowsStyle, exampleFile()));
    form->config().LoadConfigFile(windowsStyle);
    QCOMPARE(form->windowTitle(), QString("Keytoner v2 - Other.prg"));
}

void TestConfigPanel::shortFileKeepsWhatItSet()
{
    form->ConfigFilePath = "before";
    form->setWindowTitle("Keytoner v2 - before");
    ui.txtMem[0]->setText("777");
    QByteArray fiveLines = exampleFile();
    fiveLines.truncate(fiveLines.indexOf("\"11\""));
    const QString target = path("short.prg");
    QVERIFY(writeFile(target, fiveLines));

    form->config().LoadConfigFile(target);

    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, "Unable to load data file " + target);
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QCOMPARE(messages.shown[0].text, QString("The file ends before item 14 of 30 (command 0)."));
    QCOMPARE(ui.chkOutput[2]->text(), QString("Output 3 ON"));
    QCOMPARE(ui.txtSeqCmd->text(), QString("123"));
    QCOMPARE(ui.txtBhi->text(), QString("13.8"));
    QCOMPARE(ui.txtMem[0]->text(), QString("777"));
    QCOMPARE(form->ConfigFilePath, QString("before"));
    QCOMPARE(form->windowTitle(), QString("Keytoner v2 - before"));
}

// A file for the port in use keeps programming on; another port ends it before the number
// changes.
void TestConfigPanel::differentPortEndsProgrammingFirst()
{
    ui.txtPrgComm->setText("1");
    {
        // Ticked without the link opening anything: only the untick matters here.
        const QSignalBlocker blocker(ui.chkPrg);
        ui.chkPrg->setChecked(true);
    }
    QStringList portWhenUnticked;
    connect(ui.chkPrg, &QCheckBox::toggled, form.get(),
            [&](bool on) { portWhenUnticked << (on ? "ticked" : ui.txtPrgComm->text()); });
    QVERIFY(writeFile(path("port1.prg"), exampleFile("1")));
    form->config().LoadConfigFile(path("port1.prg"));
    QVERIFY(ui.chkPrg->isChecked());
    QVERIFY(portWhenUnticked.isEmpty());

    QVERIFY(writeFile(path("port2.prg"), exampleFile("2")));
    form->config().LoadConfigFile(path("port2.prg"));

    QVERIFY(!ui.chkPrg->isChecked());
    QCOMPARE(portWhenUnticked, QStringList{"1"});
    QCOMPARE(ui.txtPrgComm->text(), QString("2"));

    // Not enabled: only the number changes.
    QVERIFY(writeFile(path("port9.prg"), exampleFile("9")));
    form->config().LoadConfigFile(path("port9.prg"));
    QCOMPARE(ui.txtPrgComm->text(), QString("9"));
    QCOMPARE(portWhenUnticked, QStringList{"1"});
}

void TestConfigPanel::checksumWarningWaitsForTheWholeConfiguration_data()
{
    QTest::addColumn<bool>("byRead");
    QTest::addColumn<QString>("command5");
    QTest::addColumn<int>("warnings");
    QTest::newRow("load, replaced commands") << false << "" << 0;
    QTest::newRow("load, conflict in the file") << false << "5#" << 1;
    QTest::newRow("read, replaced commands") << true << "" << 0;
    QTest::newRow("read, conflict on the board") << true << "#5" << 1;
}

void TestConfigPanel::checksumWarningWaitsForTheWholeConfiguration()
{
    QFETCH(bool, byRead);
    QFETCH(QString, command5);
    QFETCH(int, warnings);
    BoardConfig config = test::exampleConfig(); // checksum ID #
    config.txtMem[5] = command5;
    ui.txtMem[3]->setText("1#4");
    ui.txtCrcTag->clear();
    messages.shown.clear();

    if (byRead) {
        form->config().ShowConfigImage(*buildConfigImage(config).image);
    } else {
        QCOMPARE(saveConfigFile(path("new.prg"), config), std::nullopt);
        form->config().LoadConfigFile(path("new.prg"));
    }

    QCOMPARE(ui.txtMem[3]->text(), QString());
    QCOMPARE(messages.shown.size(), qsizetype(warnings));
    if (warnings)
        QCOMPARE(messages.shown[0].text,
                 QString("Digit # already used in command sequences.\r\nPlease choose another "
                         "digit."));
    QCOMPARE(ui.lblCrcTag->text(), QString("[#]"));
}

QTEST_MAIN(TestConfigPanel)
#include "tst_configpanel.moc"
