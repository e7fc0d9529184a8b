// The window's start-up and close with its own files: the settings line it reads and writes, the
// configuration it loads at start-up, and those files when they are not what they should be
// (empty, cut off at every field, far too long, binary, unreadable, a directory; the program
// folder read-only; the settings line failing half way at close). The window always starts and
// closes and never loses the user's old files; a configuration save that fails keeps the old
// file and the path in use. How a broken configuration file is read, and a save failing half
// way, are the configuration module's test.
//
// Tests run as root, which ignores file permissions: the cases that need them run the window in
// a forked child (support/ChildProcess.h) as "nobody" or under a file size limit, and the parent
// checks the files the child left behind.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "config/ConfigSamples.h"
#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

const QByteArray FirstStartLine = "\",0,0,0,\"0123456789*#ABCD\",\"60\",\"40\",\"300\",\"1\",\"1\","
                                  "\"200\"\r\n";
const QString GoodSettings =
    QStringLiteral("\"%1\",1200,900,1,\"1234#\",\"70\",\"50\",\"400\",\"3\",\"4\",\"250\"\r\n");

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

void setMode(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class TestFormTone : public QObject, public TestWindow {
    Q_OBJECT

private slots:
    void cleanup() { closeWindow(); }

    void settingsFileReplacedByTheDefaultLine_data();
    void settingsFileReplacedByTheDefaultLine();
    void startUpConfiguration_data();
    void startUpConfiguration();
    void closingWritesOnlyWhatReadsBack();
    void settingsSurviveARestart();
    void positionOnNoScreenGoesToThePrimaryScreen();
    void startsWithItsUnusedControlsHidden();

    void brokenSettingsFiles_data();
    void brokenSettingsFiles();
    void settingsFileIsADirectory();
    void binaryConfigurationFile();
    void readOnlyProgramFolder();
    void unreadableFiles();
    void settingsSaveThatFailsHalfWay();

private:
    QString settingsPath() const { return folder.filePath(QStringLiteral("Keytoner2.ini")); }
    QString configPath() const { return folder.filePath(QStringLiteral("Default.prg")); }
    QByteArray readIni() const { return fileBytes(settingsPath()); }
    QByteArray goodSettings() const { return GoodSettings.arg(configPath()).toUtf8(); }
    void startWindow();
    int filesInFolder() const
    {
        return int(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size());
    }
    // Writes the good settings and configuration files, then runs `check` on a started window
    // in a child prepared by `prepare` (as root still); true when the child's checks held.
    bool inChildWindow(const std::function<void()> &prepare, const std::function<void()> &check);
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
        QVERIFY(writeFile(settingsPath(), content));
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
        QVERIFY(writeFile(settingsPath(), GoodSettings.arg(config).toUtf8()));
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
    QVERIFY(writeFile(settingsPath(),
                      "\"\",-30000,30000,0,\"1\",\"60\",\"40\",\"300\",\"1\",\"1\",\"200\"\r\n"));
    openWindow();
    form->Form_Load();
    QCOMPARE(form->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

void TestFormTone::startsWithItsUnusedControlsHidden()
{
    openWindow();
    for (QWidget *hidden : std::initializer_list<QWidget *>{ui.Text4, ui.Label15, ui.Label14})
        QVERIFY(hidden->isHidden() && !hidden->isEnabled());
    QVERIFY(ui.Frame9->isHidden() && ui.Frame10->isHidden() && ui.Frame11->isHidden());
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(ui.Timer1->isActive());
}

void TestFormTone::startWindow()
{
    openWindow();
    form->startUp();
    QVERIFY(form->isVisible());
}

bool TestFormTone::inChildWindow(const std::function<void()> &prepare,
                                 const std::function<void()> &check)
{
    if (!writeFile(settingsPath(), goodSettings()) || !writeFile(configPath(), exampleFile()))
        return false;
    const int status = inChild(prepare, [&] {
        startWindow();
        if (!QTest::currentTestFailed())
            check();
        const bool closed = form && form->close();
        return QTest::currentTestFailed() || !closed ? 1 : 0;
    });
    if (status != 0)
        qWarning("the child failed with status %d", status);
    return status == 0;
}

void TestFormTone::brokenSettingsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = goodSettings();
    QTest::newRow("empty") << QByteArray();
    // Cut right after each field, and in the middle of each quoted one.
    qsizetype from = 0;
    for (int field = 1; field < SettingsFile::FieldCount; ++field) {
        const qsizetype comma = good.indexOf(',', from);
        QTest::addRow("cut after field %d", field) << good.left(comma);
        QTest::addRow("cut inside field %d", field + 1) << good.left(comma + 2);
        from = comma + 1;
    }
    QTest::newRow("binary") << randomBytes(4096, 1);
    QTest::newRow("a good line then 16 MiB") << good + QByteArray(16 << 20, 'z');
    QTest::newRow("16 MiB quoted") << "\"" + QByteArray(16 << 20, 'q');
}

// Whatever the settings file holds, the window starts, shows what it could read (or the first
// start's values), and leaves a good line when it closes.
void TestFormTone::brokenSettingsFiles()
{
    QFETCH(QByteArray, content);
    QVERIFY(writeFile(configPath(), exampleFile()));
    QVERIFY(writeFile(settingsPath(), content));
    startWindow();
    QVERIFY(ui.Text1->text().size() <= 1 << 20);
    QVERIFY(form->close());
    const SettingsRead read = SettingsFile::parse(SettingsFile::decode(fileBytes(settingsPath())));
    QVERIFY2(!read.failedField, fileBytes(settingsPath()).left(200).constData());
}

void TestFormTone::settingsFileIsADirectory()
{
    QVERIFY(QDir().mkdir(settingsPath()));
    startWindow();
    // The first start's values, since nothing could be read.
    QCOMPARE(ui.Text1->text(), SettingsFile::defaults(folder.path()).sequence);
    ui.Text1->setText(QStringLiteral("999"));
    QVERIFY(form->close());
    QVERIFY(QFileInfo(settingsPath()).isDir());
    QCOMPARE(filesInFolder(), 0);
}

// The configuration's own tests cut the file anywhere, make it huge, a directory, unreadable;
// random bytes are tried here, through the window.
void TestFormTone::binaryConfigurationFile()
{
    openWindow();
    const QString path = folder.filePath(QStringLiteral("broken.prg"));
    QVERIFY(writeFile(path, randomBytes(2048, 3)));
    QVERIFY(!form->config().LoadConfigFile(path));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Unable to load data file ") + path);
}

// A program folder the user cannot write: the window starts from its files, cannot save a
// configuration there (it says so) and closes; nothing in the folder changes.
void TestFormTone::readOnlyProgramFolder()
{
    // The files themselves writable: only a save that replaces them whole keeps them.
    const auto readOnly = [&] {
        setMode(settingsPath(), 0666);
        setMode(configPath(), 0666);
        setMode(folder.path(), 0555);
        becomeNobody();
    };
    QVERIFY(inChildWindow(readOnly, [&] {
        QCOMPARE(ui.Text1->text(), QStringLiteral("1234#"));
        QCOMPARE(ui.txtCallID->text(), QStringLiteral("TEST"));
        QCOMPARE(messages.shown.size(), 0);
        ui.Text1->setText(QStringLiteral("777"));
        files.answers.push_back(configPath());
        files.answers.push_back(folder.filePath(QStringLiteral("new.prg")));
        ui.txtCallID->setText(QStringLiteral("IZ1NEW"));
        ui.cmdSave->click();
        ui.cmdSave->click();
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].title, QStringLiteral("Warning"));
        QCOMPARE(form->ConfigFilePath, configPath());
    }));
    setMode(folder.path(), 0700);
    QCOMPARE(fileBytes(settingsPath()), goodSettings());
    QCOMPARE(fileBytes(configPath()), exampleFile());
    QCOMPARE(filesInFolder(), 2);
}

// Files the user may not read: the first start's values and a message for the configuration.
void TestFormTone::unreadableFiles()
{
    const auto unreadable = [&] {
        setMode(settingsPath(), 0000);
        setMode(configPath(), 0000);
        setMode(folder.path(), 0755);
        becomeNobody();
    };
    QVERIFY(inChildWindow(unreadable, [&] {
        QCOMPARE(ui.Text1->text(), SettingsFile::defaults(folder.path()).sequence);
        QCOMPARE(ui.Text2->text(), SettingsFile::defaults(folder.path()).digitMs);
        QVERIFY(!messages.shown.isEmpty());
        QVERIFY(messages.shown[0].title.startsWith(QStringLiteral("Unable to load data file")));
    }));
    setMode(folder.path(), 0700);
    QCOMPARE(fileBytes(configPath()), exampleFile());
}

// The disk fills up while the window writes its settings line at close: the old line stays.
void TestFormTone::settingsSaveThatFailsHalfWay()
{
    for (const rlim_t limit : {rlim_t(0), rlim_t(40), rlim_t(goodSettings().size() - 1)}) {
        QVERIFY2(inChildWindow([limit] { limitFileSize(limit); },
                               [&] {
                                   QCOMPARE(ui.Text1->text(), QStringLiteral("1234#"));
                                   ui.Text1->setText(QStringLiteral("0000000000000000"));
                               }),
                 qPrintable(QString::number(limit)));
        QCOMPARE(fileBytes(settingsPath()), goodSettings());
        QCOMPARE(filesInFolder(), 2);
    }
}

QTEST_MAIN(TestFormTone)
#include "tst_formtone.moc"
