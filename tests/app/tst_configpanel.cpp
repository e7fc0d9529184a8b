// The configuration in the window: power-on buttons, PROGRAM's validation, showing a read
// image, and saving and loading configuration files. How files and images are coded, cut short
// or refused is the configuration module's test; here each path reaches the fields and boxes.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "config/ConfigSamples.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

using namespace keytoner;
using keytoner::test::exampleFile;
using keytoner::test::fileBytes;
using keytoner::test::writeFile;

class TestConfigPanel : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void outputCaptionFollowsTheButton();
    void buildRefusesWithAWarning();
    void readOrLoadSetsEveryFieldThenChecksTheChecksumDigit_data();
    void readOrLoadSetsEveryFieldThenChecksTheChecksumDigit();
    void saveWritesTheFileAndKeepsTheTitle();
    void cancelledDialogsChangeNothing();
    void shortFileKeepsWhatItSet();
    void differentPortEndsProgrammingFirst();

private:
    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }
};

void TestConfigPanel::outputCaptionFollowsTheButton()
{
    QTest::mouseClick(ui.chkOutput[2], Qt::LeftButton);
    QCOMPARE(ui.chkOutput[2]->text(), QString("Output 3 ON"));
    QTest::mouseClick(ui.chkOutput[2], Qt::LeftButton);
    QCOMPARE(ui.chkOutput[2]->text(), QString("Output 3 OFF"));
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

// The checksum digit is checked once the whole configuration is in: a memory that the new one
// replaces holds no conflict, one that it brings does.
void TestConfigPanel::readOrLoadSetsEveryFieldThenChecksTheChecksumDigit_data()
{
    QTest::addColumn<QString>("file"); // empty: shown as read from the board
    QTest::addColumn<QString>("command5");
    QTest::addColumn<int>("warnings");
    QTest::newRow("read") << ""
                          << "" << 0;
    QTest::newRow("read, conflict on the board") << ""
                                                 << "#5" << 1;
    QTest::newRow("load") << "Example.prg"
                          << "" << 0;
    QTest::newRow("load, conflict in the file") << "Example.prg"
                                                << "5#" << 1;
    // Whichever separator the path uses, the title shows the name after the last one.
    QTest::newRow("load, backslash last") << "sub\\Other.prg"
                                          << "" << 0;
}

void TestConfigPanel::readOrLoadSetsEveryFieldThenChecksTheChecksumDigit()
{
    QFETCH(QString, file);
    QFETCH(QString, command5);
    QFETCH(int, warnings);
    BoardConfig config = test::exampleConfig(); // checksum ID #
    config.txtMem[5] = command5;
    ui.txtMem[3]->setText("1#4");
    ui.txtMem[7]->setText("999");
    ui.txtCrcTag->clear();
    const QString title = form->windowTitle();
    messages.shown.clear();

    if (file.isEmpty()) {
        form->config().ShowConfigImage(*buildConfigImage(config).image);
    } else {
        QCOMPARE(saveConfigFile(path(file), config), std::nullopt);
        files.answers.push_back(path(file));
        QTest::mouseClick(ui.cmdLoad, Qt::LeftButton);
        QCOMPARE(files.requests[0].title, QString("Apertura File"));
    }

    QCOMPARE(form->config().fields(), config);
    QCOMPARE(ui.chkOutput[0]->text(), QString("Output 1 ON"));
    QCOMPARE(ui.lblSeqCmd->text(), QString("[123]"));
    QCOMPARE(ui.lblCrcTag->text(), QString("[#]"));
    QCOMPARE(messages.shown.size(), qsizetype(warnings));
    if (warnings)
        QCOMPARE(messages.shown[0].text,
                 QString("Digit # already used in command sequences.\r\nPlease choose another "
                         "digit."));
    const QString name = file.mid(file.lastIndexOf('\\') + 1);
    QCOMPARE(form->ConfigFilePath, file.isEmpty() ? QString() : path(file));
    QCOMPARE(form->windowTitle(), file.isEmpty() ? title : "Keytoner v2 - " + name);
}

void TestConfigPanel::saveWritesTheFileAndKeepsTheTitle()
{
    QVERIFY(writeFile(path("Example.prg"), exampleFile()));
    QVERIFY(form->config().LoadConfigFile(path("Example.prg")));
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
    form->ConfigFilePath = "before";
    QTest::mouseClick(ui.cmdSave, Qt::LeftButton);
    QTest::mouseClick(ui.cmdLoad, Qt::LeftButton);
    QCOMPARE(files.requests.size(), 2);
    QCOMPARE(form->ConfigFilePath, QString("before"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    QVERIFY(messages.shown.isEmpty());
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
}

QTEST_MAIN(TestConfigPanel)
#include "tst_configpanel.moc"
