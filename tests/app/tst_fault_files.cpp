// The window's files when they are not what they should be: the settings file and the
// configuration file empty, cut off at every item, far too long, binary, unreadable, a
// directory; the program folder read-only; saves that fail half way. The window always starts
// and closes, says what it could not read, and never loses the user's old files.
//
// Tests run as root, which ignores file permissions. The cases that need them run this same
// test program again as the unprivileged user "nobody" (or, for a disk that fills up, with a
// file size limit), and the parent checks the files the child left behind.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "support/TestWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace keytoner;

namespace {

const char *const ChildVariable = "KEYTONER_FAULT_CHILD_FOLDER";

const QString GoodSettings =
    QStringLiteral("\"%1\",1200,900,1,\"1234#\",\"70\",\"50\",\"400\",\"3\",\"4\",\"250\"\r\n");

QByteArray goodConfigFile()
{
    QByteArray file = "1\r\n0\r\n1\r\n0\r\n\"123\",\"#\",1,\"20\",\"TEST\",\"10\",1,\"11.5\","
                      "\"13.8\"\r\n\"11\"\r\n\"10\"\r\n";
    for (int i = 2; i < 16; ++i)
        file += "\"\"\r\n";
    return file + "\"1\"\r\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random());
    return bytes;
}

void setMode(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

// How the child is started: as "nobody", or as it is with a limit on the size of files.
struct ChildLimits {
    bool asNobody = false;
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

} // namespace

class TestFaultFiles : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { closeWindow(); }

    void settingsFiles_data();
    void settingsFiles();
    void settingsFileIsADirectory();
    void configFiles_data();
    void configFiles();
    void readOnlyProgramFolder();
    void unreadableFiles();
    void savesThatFailHalfWay();

private:
    QString settingsPath() const { return folder.filePath(SettingsFile::fileName()); }
    QString configPath() const { return folder.filePath(QStringLiteral("Default.prg")); }
    void startWindow();
    void expectGoodSettingsLine(const QString &path);
    // In the parent: runs the current test function again in a child on a copy of the state
    // of `childFolder`. In the child: returns the folder to work in.
    bool runChild(const QString &childFolder, const ChildLimits &limits);
    static QString childFolder() { return qEnvironmentVariable(ChildVariable); }
};

void TestFaultFiles::init()
{
    if (!childFolder().isEmpty())
        return;
    openWindow();
}

void TestFaultFiles::startWindow()
{
    openWindow();
    form->startUp();
    QVERIFY(form->isVisible());
}

void TestFaultFiles::expectGoodSettingsLine(const QString &path)
{
    const SettingsRead read = SettingsFile::parse(SettingsFile::decode(fileBytes(path)));
    QVERIFY2(!read.failedField, qPrintable(QString::fromLatin1(fileBytes(path).left(200))));
}

bool TestFaultFiles::runChild(const QString &workFolder, const ChildLimits &limits)
{
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody) {
        qWarning("no user nobody");
        return false;
    }
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const bool dropPrivileges = limits.asNobody && ::geteuid() == 0;
    const rlim_t fileSize = limits.fileSizeLimit;

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ChildVariable), workFolder);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), workFolder);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), workFolder);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([dropPrivileges, uid, gid, fileSize] {
        if (fileSize != RLIM_INFINITY) {
            std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
            const rlimit limit{fileSize, fileSize};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (dropPrivileges &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(99);
    });
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(QTest::currentTestFunction())});
    if (!child.waitForFinished(60000)) {
        qWarning("the child did not finish");
        return false;
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        qWarning("child failed (%d):\n%s", child.exitCode(), child.readAll().constData());
        return false;
    }
    return true;
}

void TestFaultFiles::settingsFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = GoodSettings.arg(configPath()).toUtf8();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank lines") << QByteArray("\r\n\r\n");
    // Cut right after each field, and in the middle of each quoted one.
    qsizetype from = 0;
    for (int field = 1; field < SettingsFile::FieldCount; ++field) {
        const qsizetype comma = good.indexOf(',', from);
        QTest::addRow("cut after field %d", field) << good.left(comma);
        QTest::addRow("cut inside field %d", field + 1) << good.left(comma + 2);
        from = comma + 1;
    }
    QTest::newRow("number out of range") << QByteArray(good).replace("1200", "99999");
    QTest::newRow("binary") << randomBytes(4096, 1);
    QTest::newRow("binary after a good line") << good + randomBytes(4096, 2);
    QTest::newRow("a good line then 16 MiB") << good + QByteArray(16 << 20, 'z');
    QTest::newRow("16 MiB without a line end") << QByteArray(16 << 20, '9');
    QTest::newRow("16 MiB quoted") << "\"" + QByteArray(16 << 20, 'q');
}

// Whatever the settings file holds, the window starts, shows what it could read (or the first
// start's values), and leaves a good line when it closes.
void TestFaultFiles::settingsFiles()
{
    QFETCH(QByteArray, content);
    closeWindow();
    QVERIFY(writeFile(configPath(), goodConfigFile()));
    QVERIFY(writeFile(settingsPath(), content));
    startWindow();
    QVERIFY(ui.Text1->text().size() <= 1 << 20);
    QVERIFY(form->close());
    expectGoodSettingsLine(settingsPath());
}

void TestFaultFiles::settingsFileIsADirectory()
{
    closeWindow();
    QVERIFY(QDir().mkdir(settingsPath()));
    startWindow();
    // The first start's values, since nothing could be read.
    QCOMPARE(ui.Text1->text(), SettingsFile::defaults(folder.path()).sequence);
    ui.Text1->setText(QStringLiteral("999"));
    QVERIFY(form->close());
    QVERIFY(QFileInfo(settingsPath()).isDir());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

void TestFaultFiles::configFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("itemsApplied");
    const QByteArray good = goodConfigFile();
    QTest::newRow("empty") << QByteArray() << 0;
    int items = 0;
    for (qsizetype at = 0; (at = good.indexOf("\r\n", at)) >= 0 && items < 4; at += 2)
        QTest::addRow("cut after item %d", ++items) << good.left(at) << items;
    QTest::newRow("cut in the middle") << good.left(good.size() / 2) << -1;
    QTest::newRow("binary") << randomBytes(2048, 3) << -1;
    QTest::newRow("flag not 0 or 1") << QByteArray("1\r\n7\r\n") << 1;
    QTest::newRow("text never closed, 16 MiB")
        << "1\r\n0\r\n1\r\n0\r\n\"" + QByteArray(16 << 20, 'q') << 5;
}

// A configuration file that cannot be read completely: its message, the items before the
// fault applied, the window title and the remembered file unchanged.
void TestFaultFiles::configFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, itemsApplied);
    const QString path = folder.filePath(QStringLiteral("broken.prg"));
    QVERIFY(writeFile(path, content));
    const QString title = form->windowTitle();
    const QString remembered = form->ConfigFilePath;
    form->config().LoadConfigFile(path);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Unable to load data file ") + path);
    QVERIFY(!messages.shown[0].text.isEmpty());
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(form->ConfigFilePath, remembered);
    if (itemsApplied >= 1)
        QVERIFY(ui.chkOutput[0]->isChecked());
    if (itemsApplied >= 5)
        QVERIFY(ui.txtSeqCmd->text().size() <= 8); // the field cuts what it shows
    QVERIFY(form->close());

    // A directory in place of the file.
    messages.shown.clear();
    openWindow();
    form->config().LoadConfigFile(folder.path());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(form->close());
}

// A program folder the user cannot write: the window starts from its files, cannot save a
// configuration there (it says so) and closes; nothing in the folder changes.
void TestFaultFiles::readOnlyProgramFolder()
{
    if (!childFolder().isEmpty()) {
        Platform platform{messages, files, clock, audio, serial};
        FormTone window(platform, childFolder());
        const test::WindowControls ui(window);
        window.startUp();
        QCOMPARE(ui.Text1->text(), QStringLiteral("1234#"));
        QCOMPARE(ui.txtCallID->text(), QStringLiteral("TEST"));
        QCOMPARE(messages.shown.size(), 0);
        ui.Text1->setText(QStringLiteral("777"));
        files.answers.push_back(QDir(childFolder()).filePath(QStringLiteral("Default.prg")));
        files.answers.push_back(QDir(childFolder()).filePath(QStringLiteral("new.prg")));
        ui.txtCallID->setText(QStringLiteral("IZ1NEW"));
        ui.cmdSave->click();
        ui.cmdSave->click();
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
        QCOMPARE(messages.shown[1].title, QStringLiteral("Warning"));
        QVERIFY(window.close());
        return;
    }
    const QByteArray settings = GoodSettings.arg(configPath()).toUtf8();
    QVERIFY(writeFile(settingsPath(), settings));
    QVERIFY(writeFile(configPath(), goodConfigFile()));
    setMode(settingsPath(), 0666);
    setMode(configPath(), 0666);
    setMode(folder.path(), 0555);
    QVERIFY(runChild(folder.path(), {true, RLIM_INFINITY}));
    setMode(folder.path(), 0700);
    QCOMPARE(fileBytes(settingsPath()), settings);
    QCOMPARE(fileBytes(configPath()), goodConfigFile());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// Files the user may not read: the first start's values and a message for the configuration.
void TestFaultFiles::unreadableFiles()
{
    if (!childFolder().isEmpty()) {
        Platform platform{messages, files, clock, audio, serial};
        FormTone window(platform, childFolder());
        const test::WindowControls ui(window);
        window.startUp();
        QCOMPARE(ui.Text1->text(), SettingsFile::defaults(childFolder()).sequence);
        QCOMPARE(ui.Text2->text(), SettingsFile::defaults(childFolder()).digitMs);
        QVERIFY(!messages.shown.isEmpty());
        QVERIFY(messages.shown[0].title.startsWith(QStringLiteral("Unable to load data file")));
        QVERIFY(window.close());
        return;
    }
    const QByteArray settings = GoodSettings.arg(configPath()).toUtf8();
    QVERIFY(writeFile(settingsPath(), settings));
    QVERIFY(writeFile(configPath(), goodConfigFile()));
    setMode(settingsPath(), 0000);
    setMode(configPath(), 0000);
    setMode(folder.path(), 0755);
    QVERIFY(runChild(folder.path(), {true, RLIM_INFINITY}));
    setMode(folder.path(), 0700);
    QCOMPARE(fileBytes(configPath()), goodConfigFile());
}

// The disk fills up while the window writes: the settings line at close and a configuration
// saved over an existing file. The old files stay as they were.
void TestFaultFiles::savesThatFailHalfWay()
{
    if (!childFolder().isEmpty()) {
        Platform platform{messages, files, clock, audio, serial};
        FormTone window(platform, childFolder());
        const test::WindowControls ui(window);
        window.startUp();
        QCOMPARE(ui.Text1->text(), QStringLiteral("1234#"));
        ui.Text1->setText(QStringLiteral("0000000000000000"));
        ui.txtCallID->setText(QStringLiteral("IZ1NEW"));
        ui.txtMem[9]->setText(QStringLiteral("9999999999"));
        files.answers.push_back(QDir(childFolder()).filePath(QStringLiteral("Default.prg")));
        ui.cmdSave->click();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
        QVERIFY(window.close());
        return;
    }
    const QByteArray settings = GoodSettings.arg(configPath()).toUtf8();
    for (const rlim_t limit : {rlim_t(0), rlim_t(40), rlim_t(settings.size() - 1)}) {
        QVERIFY(writeFile(settingsPath(), settings));
        QVERIFY(writeFile(configPath(), goodConfigFile()));
        setMode(folder.path(), 0755);
        QVERIFY2(runChild(folder.path(), {false, limit}), qPrintable(QString::number(limit)));
        QCOMPARE(fileBytes(settingsPath()), settings);
        QCOMPARE(fileBytes(configPath()), goodConfigFile());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

QTEST_MAIN(TestFaultFiles)
#include "tst_fault_files.moc"
