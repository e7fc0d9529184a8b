// The serial line misbehaving under the window, end to end on pseudo-terminals: the virtual
// board hangs up in the middle of READ and of PROGRAM, answers late, or the line carries random
// bytes at full speed while the window is idle and while an exchange runs; the port disappears
// while PTT is keyed. Nothing may crash or hang, memory stays bounded, and the next exchange
// on a good line works.
//
// KEYTONER_FAULT_NOISE_SECONDS sets how long each noise phase lasts (default 5 s in CI; the
// robustness report runs it with 60).
#include "app/FormTone.h"
#include "app/LinkPanel.h"
#include "app/MessageDialog.h"
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "platform/SerialPort.h"
#include "support/TestWindow.h"
#include "tone/TonePlayer.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace keytoner;

namespace {

const QString Detected = QStringLiteral("Tonesentinel  v2 detected.");
const QString ReadOk = QStringLiteral("Data from Tonesentinel  v2 successfully read");
const QString ProgramOk = QStringLiteral("Tonesentinel  v2 successfully programmed");

int noiseSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("KEYTONER_FAULT_NOISE_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 5;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void makeRaw(int fd)
{
    termios raw{};
    if (::tcgetattr(fd, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd, TCSANOW, &raw);
    }
}

// A line between the window and the virtual board that passes both directions through and,
// on demand, adds random bytes towards the window at a given rate. The window opens its own
// pseudo-terminal; the board's stays on the far side.
class NoisyLine {
public:
    explicit NoisyLine(const QString &boardDevice)
    {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
            return;
        makeRaw(slave_);
        board_ = ::open(boardDevice.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (board_ >= 0)
            makeRaw(board_);
        devicePath_ = QString::fromLocal8Bit(::ptsname(master_));
        thread_ = std::thread([this] { run(); });
    }
    ~NoisyLine()
    {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
        for (int fd : {master_, slave_, board_})
            if (fd >= 0)
                ::close(fd);
    }
    bool ok() const { return board_ >= 0 && !devicePath_.isEmpty(); }
    QString devicePath() const { return devicePath_; }

    // Bytes per second of noise; 0 stops it. 480 is the full rate of the 4800-baud line.
    void setNoiseRate(int bytesPerSecond) { rate_ = bytesPerSecond; }
    // Noise bytes from now on come from this pattern, repeated, instead of random bytes.
    void setPattern(const QByteArray &pattern)
    {
        std::lock_guard lock(mutex_);
        pattern_ = pattern;
    }
    qint64 noiseSent() const { return noiseSent_; }
    // Sends these bytes to the window once, at once.
    void inject(const QByteArray &bytes)
    {
        [[maybe_unused]] auto written = ::write(master_, bytes.constData(), size_t(bytes.size()));
    }

private:
    void run()
    {
        std::mt19937 random(12345);
        char buffer[4096];
        QElapsedTimer clock;
        clock.start();
        double owed = 0;
        qint64 last = 0;
        qsizetype patternPos = 0;
        while (!stopping_) {
            pollfd fds[2] = {{master_, POLLIN, 0}, {board_, POLLIN, 0}};
            ::poll(fds, 2, 2);
            if (fds[0].revents & POLLIN) {
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n > 0) [[maybe_unused]]
                    auto w = ::write(board_, buffer, size_t(n));
            }
            if (fds[1].revents & POLLIN) {
                const ssize_t n = ::read(board_, buffer, sizeof buffer);
                if (n > 0) [[maybe_unused]]
                    auto w = ::write(master_, buffer, size_t(n));
            }
            const qint64 now = clock.elapsed();
            owed += (now - last) * rate_.load() / 1000.0;
            last = now;
            if (rate_ == 0)
                owed = 0;
            const int count = std::min(int(owed), int(sizeof buffer));
            if (count <= 0)
                continue;
            {
                std::lock_guard lock(mutex_);
                for (int i = 0; i < count; ++i) {
                    if (pattern_.isEmpty()) {
                        buffer[i] = char(random());
                    } else {
                        buffer[i] = pattern_.at(patternPos++ % pattern_.size());
                    }
                }
            }
            const ssize_t written = ::write(master_, buffer, size_t(count));
            if (written > 0) {
                owed -= double(written);
                noiseSent_ += written;
            }
            // A full terminal buffer means the window is not reading: the line rate is the most
            // it can ever be sent, so what could not be written is dropped.
            owed = std::min(owed, double(sizeof buffer));
        }
    }

    int master_ = -1;
    int slave_ = -1;
    int board_ = -1;
    QString devicePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> rate_{0};
    std::atomic<qint64> noiseSent_{0};
    std::mutex mutex_;
    QByteArray pattern_;
};

} // namespace

class TestFaultLink : public QObject, public test::TestWindow {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hangUpInTheMiddleOfRead();
    void hangUpInTheMiddleOfProgram();
    void lateAnswers_data();
    void lateAnswers();
    void randomBytesWhileIdle();
    void randomBytesDuringExchanges();
    void endlessIdentityText();
    void noiseEndingInsideAFrame_data();
    void noiseEndingInsideAFrame();
    void portRemovedWhilePttKeyed();
    void portRemovedDuringAKeyedSend();

private:
    // Links comN in the program folder to the device and ticks the programming box.
    void enableOn(const QString &device, int number);
    void disable();
    void expectExchangesWork();

    QtSerialPortFactory realSerial;
    SystemClock realClock;
    std::unique_ptr<link::VirtualBoard> board;
};

void TestFaultLink::init()
{
    openWindow(realClock, realSerial);
    board = std::make_unique<link::VirtualBoard>();
    QVERIFY(board->start());
}

void TestFaultLink::cleanup()
{
    closeWindow();
    board.reset();
}

void TestFaultLink::enableOn(const QString &device, int number)
{
    const QString comLink = folder.filePath(QStringLiteral("com%1").arg(number));
    QFile::remove(comLink);
    QVERIFY(QFile::link(device, comLink));
    form->dialog().setInfo(QString());
    ui.txtPrgComm->setText(QString::number(number));
    ui.chkPrg->setChecked(true);
    QVERIFY(form->link().portOpen());
}

void TestFaultLink::disable()
{
    ui.chkPrg->setChecked(false);
    QVERIFY(!form->link().portOpen());
}

// READ and PROGRAM on the port now open both succeed.
void TestFaultLink::expectExchangesWork()
{
    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(), ReadOk);
    fillValidConfiguration();
    ui.cmdSend->click();
    QCOMPARE(form->dialog().info(), ProgramOk);
}

void TestFaultLink::hangUpInTheMiddleOfRead()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        link::VirtualBoard::Faults hangUp;
        hangUp.hangUpInRead = true;
        board->setFaults(hangUp);
        enableOn(board->devicePath(), 9);
        QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
        messages.shown.clear();
        QElapsedTimer timer;
        timer.start();
        ui.cmdRead->click();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(board->hungUp());
        QVERIFY(!ui.chkPrg->isChecked());
        QVERIFY(!form->link().portOpen());
        QVERIFY(ui.txtPrgComm->isEnabled());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, QStringLiteral("DTMF"));

        // The board is plugged in again: the window talks to it as if nothing had happened.
        board = std::make_unique<link::VirtualBoard>();
        QVERIFY(board->start());
        enableOn(board->devicePath(), 9);
        QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
        ui.cmdRead->click();
        QCOMPARE(form->dialog().info(), ReadOk);
        disable();
    }
    QVERIFY(form->close());
}

void TestFaultLink::hangUpInTheMiddleOfProgram()
{
    fillValidConfiguration();
    for (int attempt = 0; attempt < 2; ++attempt) {
        link::VirtualBoard::Faults hangUp;
        hangUp.hangUpInWrite = true;
        board->setFaults(hangUp);
        const link::VirtualBoard *before = board.get();
        const int acceptedBefore = before->blocksAccepted();
        enableOn(board->devicePath(), 9);
        QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
        messages.shown.clear();
        QElapsedTimer timer;
        timer.start();
        ui.cmdSend->click();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(before->hungUp());
        QCOMPARE(before->blocksAccepted(), acceptedBefore + 1);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, QStringLiteral("COM9"));
        // The port's loss is handled when the window is back in its event loop.
        QTRY_VERIFY_WITH_TIMEOUT(!ui.chkPrg->isChecked(), 2000);
        QVERIFY(!form->link().portOpen());
        QVERIFY(!ui.cmdSend->isEnabled());

        board = std::make_unique<link::VirtualBoard>();
        QVERIFY(board->start());
        enableOn(board->devicePath(), 9);
        QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
        ui.cmdSend->click();
        QCOMPARE(form->dialog().info(), ProgramOk);
        QCOMPARE(board->image(), form->link().PrgImage);
        disable();
    }
    QVERIFY(form->close());
}

void TestFaultLink::lateAnswers_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::newRow("150 ms") << 150;
    QTest::newRow("400 ms") << 400;
    QTest::newRow("1500 ms") << 1500;
}

// An identity that comes after its window fails the exchange with its message; it is then
// announced like any identity, and a board that answers in time again is read and programmed.
void TestFaultLink::lateAnswers()
{
    QFETCH(int, delayMs);
    enableOn(board->devicePath(), 9);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
    link::VirtualBoard::Faults late;
    late.answerDelayMs = delayMs;
    board->setFaults(late);
    fillValidConfiguration();

    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(),
             QStringLiteral("FAILED to read version! Please Check Connections / Decoder"));
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, delayMs + 2000);
    ui.cmdSend->click();
    QCOMPARE(form->dialog().info(),
             QStringLiteral("FAILED to get Version!  Unable to program, please check Decoder"));
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, delayMs + 2000);
    QVERIFY(messages.shown.isEmpty());

    board->setFaults(link::VirtualBoard::Faults());
    expectExchangesWork();
    QVERIFY(form->close());
}

void TestFaultLink::randomBytesWhileIdle()
{
    NoisyLine line(board->devicePath());
    QVERIFY(line.ok());
    enableOn(line.devicePath(), 11);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);

    const qint64 before = residentKiB();
    // The line's full rate, then as fast as the terminal takes bytes.
    line.setNoiseRate(480);
    QTest::qWait(noiseSeconds() * 1000);
    line.setNoiseRate(100000);
    QTest::qWait(noiseSeconds() * 1000 / 2);
    line.setNoiseRate(0);
    QTest::qWait(100);
    const qint64 grownKiB = residentKiB() - before;
    qInfo("idle noise: %lld bytes, resident memory grew by %lld KiB", line.noiseSent(), grownKiB);
    QVERIFY(line.noiseSent() > 480 * noiseSeconds());
    QVERIFY2(grownKiB < 32 * 1024, qPrintable(QString::number(grownKiB)));
    QVERIFY(form->link().portOpen());

    messages.shown.clear();
    expectExchangesWork();
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(form->close());
}

// Exchanges run while the noise goes on: each ends in bounded time with a message (success
// is possible when the noise happens to spare the frames); once the line is clean again, READ
// and PROGRAM work.
void TestFaultLink::randomBytesDuringExchanges()
{
    NoisyLine line(board->devicePath());
    QVERIFY(line.ok());
    enableOn(line.devicePath(), 11);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
    fillValidConfiguration();

    const qint64 before = residentKiB();
    // At the full rate no identity line gets through; sparse noise lets exchanges reach the
    // data frame and the write blocks, and spoils them there.
    line.setNoiseRate(480);
    QElapsedTimer phase;
    phase.start();
    int exchanges = 0;
    QMap<QString, int> outcomes;
    while (phase.elapsed() < noiseSeconds() * 1500) {
        if (phase.elapsed() >= noiseSeconds() * 1000)
            line.setNoiseRate(8);
        QElapsedTimer one;
        one.start();
        (exchanges % 2 ? ui.cmdSend : ui.cmdRead)->click();
        QVERIFY2(one.elapsed() < 6000, qPrintable(QString::number(one.elapsed())));
        QVERIFY(!form->dialog().info().isEmpty());
        ++outcomes[form->dialog().info()];
        QVERIFY(ui.cmdRead->isEnabled());
        QVERIFY(ui.cmdSend->isEnabled());
        ++exchanges;
    }
    line.setNoiseRate(0);
    QTest::qWait(100);
    const qint64 grownKiB = residentKiB() - before;
    qInfo("%d exchanges under noise, %lld noise bytes, memory grew by %lld KiB", exchanges,
          line.noiseSent(), grownKiB);
    QVERIFY2(grownKiB < 32 * 1024, qPrintable(QString::number(grownKiB)));
    for (auto outcome = outcomes.cbegin(); outcome != outcomes.cend(); ++outcome)
        qInfo("%4d x %s", outcome.value(), qPrintable(outcome.key().simplified()));

    board->clearReceived();
    expectExchangesWork();
    QVERIFY(form->close());
}

// The worst noise for the parser's memory: an identity line that starts and never ends, at the
// line's full rate and then as fast as the terminal takes it.
void TestFaultLink::endlessIdentityText()
{
    NoisyLine line(board->devicePath());
    QVERIFY(line.ok());
    enableOn(line.devicePath(), 11);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);

    line.setPattern(QByteArray("\xFF\xAA", 2));
    line.setNoiseRate(1000);
    QTest::qWait(20);
    line.setPattern(QByteArray("Tonesentinel  v2 "));
    const qint64 before = residentKiB();
    line.setNoiseRate(100000);
    QTest::qWait(noiseSeconds() * 1000 / 2);
    line.setNoiseRate(0);
    QTest::qWait(100);
    const qint64 grownKiB = residentKiB() - before;
    qInfo("endless identity: %lld bytes, memory grew by %lld KiB", line.noiseSent(), grownKiB);
    QVERIFY2(grownKiB < 32 * 1024, qPrintable(QString::number(grownKiB)));

    expectExchangesWork();
    QVERIFY(form->close());
}

void TestFaultLink::noiseEndingInsideAFrame_data()
{
    QTest::addColumn<QByteArray>("noise");
    QTest::newRow("identity begun") << QByteArray("\xFF\xAA"
                                                  "abc",
                                                  5);
    QTest::newRow("data frame begun") << QByteArray("\xFF\xFF", 2) + QByteArray(20, '\x01');
}

// Noise that stops in the middle of what looks like a frame must not cost the next exchange
// its answer: the user clicks READ on a line that is quiet again.
void TestFaultLink::noiseEndingInsideAFrame()
{
    QFETCH(QByteArray, noise);
    NoisyLine line(board->devicePath());
    QVERIFY(line.ok());
    enableOn(line.devicePath(), 11);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
    line.inject(noise);
    QTest::qWait(100);
    ui.cmdRead->click();
    QCOMPARE(form->dialog().info(), ReadOk);
    line.inject(noise);
    QTest::qWait(100);
    fillValidConfiguration();
    ui.cmdSend->click();
    QCOMPARE(form->dialog().info(), ProgramOk);

    // The port closed and opened again announces the board.
    line.inject(noise);
    QTest::qWait(100);
    disable();
    form->dialog().setInfo(QString());
    ui.chkPrg->setChecked(true);
    QTRY_COMPARE_WITH_TIMEOUT(form->dialog().info(), Detected, 2000);
    QVERIFY(form->close());
}

// The adapter goes while the transmitter is keyed: the box is unticked, the port closed, RTS
// low, and the window goes on.
void TestFaultLink::portRemovedWhilePttKeyed()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString comLink = folder.filePath(QStringLiteral("com2"));
        QFile::remove(comLink);
        QVERIFY(QFile::link(board->devicePath(), comLink));
        ui.txtPttCom->setText(QStringLiteral("2"));
        ui.chkPtt->setChecked(true);
        QVERIFY(form->link().portOpen());
        form->link().SetPtt(true);
        QVERIFY(form->link().MSComm1().rts());

        board->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!ui.chkPtt->isChecked(), 3000);
        QVERIFY(!form->link().portOpen());
        QVERIFY(!form->link().MSComm1().rts());
        QVERIFY(ui.txtPttCom->isEnabled());
        // Releasing PTT on the vanished port is harmless.
        form->link().SetPtt(false);
        QVERIFY(!form->link().MSComm1().rts());

        board = std::make_unique<link::VirtualBoard>();
        QVERIFY(board->start());
    }
    QVERIFY(form->close());
}

void TestFaultLink::portRemovedDuringAKeyedSend()
{
    const QString comLink = folder.filePath(QStringLiteral("com2"));
    QVERIFY(QFile::link(board->devicePath(), comLink));
    ui.txtPttCom->setText(QStringLiteral("2"));
    ui.chkPtt->setChecked(true);
    QVERIFY(form->link().portOpen());
    audio.plan.finishMs = 400;
    ui.Text1->setText(QStringLiteral("123"));
    bool keyedThen = false;
    QTimer::singleShot(150, form.get(), [&] {
        keyedThen = form->link().MSComm1().rts();
        board->stop();
    });
    QElapsedTimer timer;
    timer.start();
    ui.cmdTone->click();
    waitForSendEnd();
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(keyedThen);
    QTRY_VERIFY_WITH_TIMEOUT(!ui.chkPtt->isChecked(), 3000);
    QVERIFY(!form->link().portOpen());
    QVERIFY(!form->link().MSComm1().rts());
    QVERIFY(!form->player().IsPlaying());
    QVERIFY(form->close());
}

QTEST_MAIN(TestFaultLink)
#include "tst_fault_link.moc"
