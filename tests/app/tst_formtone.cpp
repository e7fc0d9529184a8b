// The window's own files and the configuration frame: the settings line read at start-up and
// written at close, the configuration loaded at start-up, the Save and Load buttons, PROGRAM's
// validation and showing a read image. How those files read when broken, and saves that fail on
// the disk, are the settings and configuration modules' tests; the window has no path of its own
// for them beyond the ones here.
#include "app/ConfigPanel.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "config/ConfigSamples.h"
#include "support/Files.h"
#include "support/TestWindow.h"

using namespace keytoner;
using namespace keytoner::test;

class TestFormTone : public QObject, public TestWindow {
    Q_OBJECT

    QString path(const QString &name) const { return folder.filePath(name); }
    QByteArray readIni() const { return fileBytes(path("Keytoner2.ini")); }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // A file that stops early and one with a tab that is no page are replaced at start-up; the
    // window keeps what could be read, and a position on no screen (a monitor gone) moves to the
    // primary screen. No configuration to load (an empty path): nothing failed for the user.
    void settingsFileReplacedByTheDefaultLine_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("sequenceAndTxDelay");
        QTest::newRow("short") << "\"\",150,300,1,\"55\"\r\n"
                               << QPoint(150, 300) << 1 << QStringList{"55", ""};
        QTest::newRow("bad tab, off screen")
            << "\"\",-30000,30000,2,\"9*\",\"70\",\"30\",\"200\",\"2\",\"3\",\"500\"\r\n"
            << QPoint(0, 0) << 0 << QStringList{"9*", "500"};
    }
    void settingsFileReplacedByTheDefaultLine()
    {
        QFETCH(QString, content);
        QFETCH(QPoint, position);
        QFETCH(int, tab);
        QFETCH(QStringList, sequenceAndTxDelay);
        QVERIFY(writeFile(path("Keytoner2.ini"), content.toUtf8()));
        openWindow();
        ui.SSTabCmd->setCurrentIndex(1);
        form->Form_Load();

        QCOMPARE(readIni(),
                 '"' + path("Default.prg").toUtf8() +
                     "\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n");
        QCOMPARE(form->positionTwips(), position);
        QCOMPARE(ui.SSTab1->currentIndex(), tab);
        QCOMPARE(ui.SSTabCmd->currentIndex(), 0);
        QCOMPARE((QStringList{ui.Text1->text(), ui.txtTxd->text()}), sequenceAndTxDelay);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(form->ConfigFilePath.isEmpty());
    }

    void startUpConfiguration_data()
    {
        QTest::addColumn<bool>("settingsFile");
        QTest::addColumn<bool>("configExists");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("first start, no Default.prg") << false << false << false << false;
        QTest::newRow("first start, Default.prg saved") << false << true << false << true;
        QTest::newRow("file on a stick not plugged in") << true << false << true << true;
    }
    void startUpConfiguration()
    {
        QFETCH(bool, settingsFile);
        QFETCH(bool, configExists);
        QFETCH(bool, reported);
        QFETCH(bool, remembered);
        // A first start names Default.prg in the program folder.
        const QString config = path(settingsFile ? "stick/club.prg" : "Default.prg");
        const QString line =
            "\"%1\",1200,900,1,\"1234#\",\"70\",\"50\",\"400\",\"3\",\"4\",\"250\"\r\n";
        if (settingsFile)
            QVERIFY(writeFile(path("Keytoner2.ini"), line.arg(config).toUtf8()));
        if (configExists)
            QVERIFY(writeFile(config, exampleFile()));
        openWindow();
        form->Form_Load();

        QCOMPARE(messages.shown.size(), qsizetype(reported ? 1 : 0));
        if (reported)
            QCOMPARE(messages.shown[0].title, "Unable to load data file " + config);
        QCOMPARE(ui.txtCallID->text(), QString(configExists ? "TEST" : ""));
        QVERIFY(form->close());
        QVERIFY(readIni().startsWith('"' + (remembered ? config.toUtf8() : QByteArray()) + "\","));
    }

    // What was in use at close comes back at the next start. A path the line cannot carry keeps
    // the old file and says so; the sending fields drop the characters that would shift the
    // fields after them.
    void settingsSurviveARestart()
    {
        form->Form_Load();
        form->show();
        form->move(80, 40);
        ui.SSTab1->setCurrentIndex(1);
        ui.Text1->setText("1\"2,3"); // pasted: the entry rules do not see it
        ui.Text2->setText("75");
        ui.txtTxd->setText("350");
        form->ConfigFilePath = path("club.prg");
        QVERIFY(writeFile(path("club.prg"), exampleFile()));
        QVERIFY(form->close());
        const QByteArray line = readIni();
        QVERIFY(line.startsWith('"' + path("club.prg").toUtf8() +
                                "\",1200,600,1,\"12,3\",\"75\",\"40\""));

        openWindow();
        form->Form_Load();
        QCOMPARE(form->pos(), QPoint(80, 40));
        QCOMPARE(ui.SSTab1->currentIndex(), 1);
        QCOMPARE((QStringList{ui.Text1->text(), ui.Text2->text(), ui.txtTxd->text()}),
                 (QStringList{"12,3", "75", "350"}));
        form->ConfigFilePath = path("\"quoted\".prg");
        QVERIFY(form->close());
        QCOMPARE(readIni(), line);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("double quote"));
    }

    void unusedControlsHiddenAndOutputCaptionFollows()
    {
        for (QWidget *hidden : std::initializer_list<QWidget *>{ui.Text4, ui.Label15, ui.Label14})
            QVERIFY(hidden->isHidden() && !hidden->isEnabled());
        QVERIFY(ui.Frame9->isHidden() && ui.Frame10->isHidden() && ui.Frame11->isHidden());
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(ui.Timer1->isActive());
        // An output button's caption follows its state.
        QTest::mouseClick(ui.chkOutput[2], Qt::LeftButton);
        QCOMPARE(ui.chkOutput[2]->text(), "Output 3 ON");
        QTest::mouseClick(ui.chkOutput[2], Qt::LeftButton);
        QCOMPARE(ui.chkOutput[2]->text(), "Output 3 OFF");
    }

    // PROGRAM's refusal: the validation's text in a box, the image untouched.
    void buildRefusesWithAWarning()
    {
        ConfigImage image;
        image.fill(0x33);
        QVERIFY(!form->config().BuildConfigImage(image));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, "Checksum ID empty.");
        QCOMPARE(image[0], 0x33);
    }

    // The checksum digit is checked once the whole configuration is in: a memory that the new
    // one replaces holds no conflict, one that it brings does. Whichever separator the path
    // uses, the title shows the name after the last one.
    void readOrLoadSetsEveryFieldThenChecksTheChecksumDigit_data()
    {
        QTest::addColumn<QString>("file"); // empty: shown as read from the board
        QTest::addColumn<QString>("command5");
        QTest::newRow("read") << QString() << QString();
        QTest::newRow("read, conflict on the board") << QString() << "#5";
        QTest::newRow("load") << "Example.prg" << QString();
        QTest::newRow("load, conflict, backslash last") << "sub\\Other.prg"
                                                        << "5#";
    }
    void readOrLoadSetsEveryFieldThenChecksTheChecksumDigit()
    {
        QFETCH(QString, file);
        QFETCH(QString, command5);
        BoardConfig config = exampleConfig(); // checksum ID #
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
            QCOMPARE(files.requests[0].title, "Apertura File");
        }

        QCOMPARE(form->config().fields(), config);
        QCOMPARE((QStringList{ui.chkOutput[0]->text(), ui.lblSeqCmd->text(), ui.lblCrcTag->text()}),
                 (QStringList{"Output 1 ON", "[123]", "[#]"}));
        QCOMPARE(messages.shown.size(), qsizetype(command5.isEmpty() ? 0 : 1));
        if (!command5.isEmpty())
            QCOMPARE(messages.shown[0].text, "Digit # already used in command sequences.\r\n"
                                             "Please choose another digit.");
        const QString name = file.mid(file.lastIndexOf('\\') + 1);
        QCOMPARE(form->ConfigFilePath, file.isEmpty() ? QString() : path(file));
        QCOMPARE(form->windowTitle(), file.isEmpty() ? title : "Keytoner v2 - " + name);
    }

    // Cancelled dialogs and a save refused (a folder in the file's place) change nothing but
    // for the warning; a save keeps the title and adds no extension.
    void saveAndLoadThroughTheDialogs()
    {
        QVERIFY(writeFile(path("Example.prg"), exampleFile()));
        QVERIFY(form->config().LoadConfigFile(path("Example.prg")));
        const QString title = form->windowTitle();
        QVERIFY(QDir().mkdir(path("folder.prg")));
        files.answers = {std::nullopt, std::nullopt, path("folder.prg"), path("board one")};
        QTest::mouseClick(ui.cmdSave, Qt::LeftButton);
        QTest::mouseClick(ui.cmdLoad, Qt::LeftButton);
        QTest::mouseClick(ui.cmdSave, Qt::LeftButton);
        QCOMPARE(form->ConfigFilePath, path("Example.prg"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"Example.prg"});
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, "Warning");

        QTest::mouseClick(ui.cmdSave, Qt::LeftButton);
        QCOMPARE(files.requests.size(), 4);
        QCOMPARE(files.requests[3].title, "Salva File");
        QCOMPARE(files.requests[3].folder, folder.path());
        QCOMPARE(files.requests[3].proposedName, "Default.prg");
        QCOMPARE(files.requests[3].filters,
                 QStringList({"File di configurazione (*.prg)", "Tutti i files (*)"}));
        QCOMPARE(fileBytes(path("board one")), exampleFile());
        QCOMPARE(form->ConfigFilePath, path("board one"));
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(messages.shown.size(), 1);
    }

    void shortFileKeepsWhatItSet()
    {
        form->ConfigFilePath = "before";
        form->setWindowTitle("Keytoner v2 - before");
        ui.txtMem[0]->setText("777");
        QByteArray fiveLines = exampleFile();
        fiveLines.truncate(fiveLines.indexOf("\"11\""));
        QVERIFY(writeFile(path("short.prg"), fiveLines));

        QVERIFY(!form->config().LoadConfigFile(path("short.prg")));

        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, "Unable to load data file " + path("short.prg"));
        QCOMPARE(messages.shown[0].icon, MessageIcon::None);
        QCOMPARE(messages.shown[0].text, "The file ends before item 14 of 30 (command 0).");
        QCOMPARE((QStringList{ui.chkOutput[2]->text(), ui.txtBhi->text(), ui.txtMem[0]->text(),
                              form->ConfigFilePath, form->windowTitle()}),
                 (QStringList{"Output 3 ON", "13.8", "777", "before", "Keytoner v2 - before"}));
    }

    // A file for the port in use keeps programming on; another port ends it before the number
    // changes.
    void differentPortEndsProgrammingFirst()
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
        QCOMPARE(ui.txtPrgComm->text(), "2");
    }
};

QTEST_MAIN(TestFormTone)
#include "tst_formtone.moc"
