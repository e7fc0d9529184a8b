// The window's own files when they are not what they should be: the settings file empty, cut
// off at every field, far too long, binary, unreadable, a directory; the program folder
// read-only; the settings line failing half way at close. The window always starts and closes
// and never loses the user's old files: a configuration save that fails keeps the old file and
// the path in use. How a broken configuration file is read, and a save failing half way, are
// the configuration module's test.
//
// Tests run as root, which ignores file permissions: the cases that need them run the window in
// a forked child (support/ChildProcess.h) as "nobody" or under a file size limit, and the parent
// checks the files the child left behind.
#include "app/ConfigPanel.h"
#include "app/FormTone.h"
#include "config/ConfigSamples.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace keytoner;
using keytoner::test::exampleFile;
using keytoner::test::fileBytes;
using keytoner::test::inChild;
using keytoner::test::writeFile;

namespace {

const QString GoodSettings =
    QStringLiteral("\"%1\",1200,900,1,\"1234#\",\"70\",\"50\",\"400\",\"3\",\"4\",\"250\"\r\n");

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

void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class TestFaultFiles : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void cleanup() { closeWindow(); }

    void settingsFiles_data();
    void settingsFiles();
    void settingsFileIsADirectory();
    void binaryConfigurationFile();
    void readOnlyProgramFolder();
    void unreadableFiles();
    void settingsSaveThatFailsHalfWay();

private:
    QString settingsPath() const { return folder.filePath(SettingsFile::fileName()); }
    QString configPath() const { return folder.filePath(QStringLiteral("Default.prg")); }
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

void TestFaultFiles::startWindow()
{
    openWindow();
    form->startUp();
    QVERIFY(form->isVisible());
}

bool TestFaultFiles::inChildWindow(const std::function<void()> &prepare,
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

void TestFaultFiles::settingsFiles_data()
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
void TestFaultFiles::settingsFiles()
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

void TestFaultFiles::settingsFileIsADirectory()
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
void TestFaultFiles::binaryConfigurationFile()
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
void TestFaultFiles::readOnlyProgramFolder()
{
    // The files themselves writable: only a save that replaces them whole keeps them.
    const auto readOnly = [&] {
        setMode(settingsPath(), 0666);
        setMode(configPath(), 0666);
        setMode(folder.path(), 0555);
        test::becomeNobody();
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
void TestFaultFiles::unreadableFiles()
{
    const auto unreadable = [&] {
        setMode(settingsPath(), 0000);
        setMode(configPath(), 0000);
        setMode(folder.path(), 0755);
        test::becomeNobody();
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
void TestFaultFiles::settingsSaveThatFailsHalfWay()
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

QTEST_MAIN(TestFaultFiles)
#include "tst_fault_files.moc"
