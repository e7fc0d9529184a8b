// The exchanges over a real serial port driver against the virtual board on a pseudo-terminal.
#include "link/LinkProtocol.h"
#include "link/LinkSession.h"
#include "link/RecordingReporter.h"
#include "link/VirtualBoard.h"
#include "platform/QtSerialPort.h"
#include "support/FakePlatform.h"

#include <QtTest>

using namespace keytoner;
using namespace keytoner::link;

namespace {

ConfigImage patternImage()
{
    ConfigImage image;
    for (int i = 0; i < ConfigImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(i < 8 ? 0xA0 + i : (i * 7) % 0x5B);
    return image;
}

// The real port, noting when the session handed each write to it. The board's arrival times lag
// the writes by however long the machine takes to schedule the board, which can make a wait
// look shorter than it was; the session's own write times cannot.
class TimedPort : public QtSerialPort {
public:
    TimedPort() { clock_.start(); }

    bool write(const QByteArray &bytes) override
    {
        writes_.push_back({clock_.nsecsElapsed() / 1e6, bytes});
        return QtSerialPort::write(bytes);
    }

    // Time of the first write that starts with `prefix`, or -1.
    double firstWrite(const QByteArray &prefix) const
    {
        for (const auto &[atMs, bytes] : writes_)
            if (bytes.startsWith(prefix))
                return atMs;
        return -1;
    }

private:
    QElapsedTimer clock_;
    std::vector<std::pair<double, QByteArray>> writes_; // ms since the port was made, bytes
};

} // namespace

Q_DECLARE_METATYPE(keytoner::link::VirtualBoard::Faults)

class LinkSessionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<VirtualBoard> board;
    std::unique_ptr<TimedPort> port;
    std::unique_ptr<QTimer> timer;
    std::unique_ptr<RecordingReporter> reporter;
    std::unique_ptr<LinkSession> session;
    // The fixed pauses take no time unless a test measures them; the waits for the board's
    // answers run on the real timer either way.
    test::FakeClock clock;
    ConfigImage prg{};
    ConfigImage rx{};

    void connectBoard(const VirtualBoard::Faults &faults = {})
    {
        clock = test::FakeClock();
        board = std::make_unique<VirtualBoard>();
        QVERIFY(board->start());
        board->setFaults(faults);
        port = std::make_unique<TimedPort>();
        QVERIFY2(port->open(board->devicePath()), qPrintable(port->errorString()));
        timer = std::make_unique<QTimer>();
        reporter = std::make_unique<RecordingReporter>(QStringLiteral("7"));
        session = std::make_unique<LinkSession>(*port, clock, *timer, *reporter, prg, rx);
        session->setPortNumber(7);
    }

private slots:
    void cleanup()
    {
        session.reset();
        port.reset();
        board.reset();
    }

    void readLoadsTheBoardsImage()
    {
        connectBoard();
        board->setImage(patternImage());
        QCOMPARE(session->read(), LinkSession::Outcome::Succeeded);
        QCOMPARE(reporter->info(), QStringLiteral("Data from Tonesentinel  v2 successfully read"));
        QCOMPARE(rx, patternImage());
        QCOMPARE(reporter->shownImages().size(), 1);
        QCOMPARE(clock.sleeps, (QList<int>{200, 200}));
        QCOMPARE(board->receivedBytes(), QByteArray("\xFF\xCC\xFF\xAA", 4));
        // The image holds 0x00 bytes, read whole because the data wait stops discarding them.
        QVERIFY(port->discardNull());
    }

    void programWritesBlocksAndVerifies()
    {
        connectBoard();
        prg = patternImage();
        clock.realSleeps = true;
        QCOMPARE(session->ProgramBoard(), LinkSession::Outcome::Succeeded);
        QCOMPARE(reporter->info(), QStringLiteral("Tonesentinel  v2 successfully programmed"));
        QCOMPARE(board->image(), prg);
        QCOMPARE(clock.sleeps, (QList<int>{10, 480, 480, 480, 480, 100}));

        // On the wire: FF CC, FF FF and block 0, the other blocks at least 480 ms
        // apart, then FF AA at least 580 ms after the last block.
        const QByteArray readBack("\xFF\xAA", 2);
        const auto blocks = writeBlocks(prg);
        QCOMPARE(board->receivedBytes(),
                 "\xFF\xCC\xFF\xFF" + blocks[0] + blocks[1] + blocks[2] + blocks[3] + readBack);
        // Measured at the session's writes: the board's arrival times lag by the scheduling.
        const QByteArray next[] = {blocks[1], blocks[2], blocks[3], readBack};
        for (int k = 0; k < BlockCount; ++k) {
            const double gap = port->firstWrite(next[k]) - port->firstWrite(blocks[k]);
            QVERIFY2(gap >= (k < 3 ? 480 : 580), qPrintable(QString::number(gap)));
        }
        QVERIFY(session->VerifyMode());
    }

    // A failed exchange ends with its text and, where it failed waiting, the failure tail of
    // 256 blanks no sooner than the wait's length after the write that started the wait. A board
    // that hangs up ends the exchange at the next write to the closed port; plugged in again, it
    // works on the same port and session.
    void exchangeFailures_data()
    {
        QTest::addColumn<bool>("program");
        QTest::addColumn<VirtualBoard::Faults>("faults");
        QTest::addColumn<QString>("text");        // empty: a port error
        QTest::addColumn<QByteArray>("waitFrom"); // empty: no failure tail
        QTest::addColumn<int>("waitMs");
        const QString noVersion = "FAILED to read version! Please Check Connections / Decoder";
        const QByteArray identify("\xFF\xCC", 2);
        const QByteArray read("\xFF\xAA", 2);
        const auto row = [](const char *name, bool program, VirtualBoard::Faults faults,
                            const QString &text, const QByteArray &waitFrom = {}, int waitMs = 0) {
            QTest::newRow(name) << program << faults << text << waitFrom << waitMs;
        };
        // Far past the 100 ms identity wait, so that a stalled test thread cannot wake to find
        // the answer already there.
        row("read, late identity", false, {.answerDelayMs = 400}, noVersion, identify, 100);
        row("read, one blank", false, {.identity = "Tonesentinel v2"}, noVersion, identify);
        row("read, wrong checksum", false, {.badDataSum = true},
            "Error reading data from Tonesentinel  v2");
        row("read, filtered byte", false, {.filteredPosition = 8},
            "FAILED to read data!  Please check Connections / Decoder", read, 768);
        row("program, no identity", true, {.silent = true},
            "FAILED to get Version!  Unable to program, please check Decoder", identify, 100);
        row("program, read-back differs", true, {.readBackDifference = 100},
            "Error programming Tonesentinel  v2");
        row("program, no read-back", true, {.filteredPosition = 20},
            "FAILED to read data!  Unable to program, please check Decoder", read);
        row("read, hang-up", false, {.hangUpInRead = true}, QString());
        row("program, hang-up", true, {.hangUpInWrite = true}, QString());
    }

    void exchangeFailures()
    {
        QFETCH(bool, program);
        QFETCH(VirtualBoard::Faults, faults);
        QFETCH(QString, text);
        QFETCH(QByteArray, waitFrom);
        QFETCH(int, waitMs);
        connectBoard(faults);
        // Where the board hangs up after the first block, the pauses between blocks are real, as
        // on the wire: a loaded machine may let the board read late, and the paused writes give
        // it seconds rather than the read-back wait alone to hang up before the exchange ends.
        clock.realSleeps = faults.hangUpInWrite;
        prg = patternImage();
        rx.fill(0x11);
        const auto exchange = [&] { return program ? session->ProgramBoard() : session->read(); };
        QCOMPARE(exchange(),
                 text.isEmpty() ? LinkSession::Outcome::PortError : LinkSession::Outcome::Failed);
        QVERIFY(reporter->shownImages().isEmpty());
        if (text.isEmpty()) {
            QVERIFY(board->hungUp());
            QCOMPARE(board->blocksAccepted(), program ? 1 : 0);
            QTRY_VERIFY(!port->isOpen()); // the loss is seen in the event loop
            board = std::make_unique<VirtualBoard>();
            QVERIFY(board->start());
            QVERIFY(port->open(board->devicePath()));
            clock.realSleeps = false;
            QCOMPARE(exchange(), LinkSession::Outcome::Succeeded);
            return;
        }
        QCOMPARE(reporter->info(), text);
        QVERIFY(reporter->okVisible());
        QTest::qWait(faults.answerDelayMs > 100 ? 700 : 300);
        const QByteArray sent = board->receivedBytes();
        QCOMPARE(sent.count(' '), waitFrom.isEmpty() ? 0 : 256);
        if (waitFrom == "\xFF\xCC") // nothing else goes out after a failed identity
            QCOMPARE(sent, waitFrom + QByteArray(256, ' '));
        const double waited = port->firstWrite(" ") - port->firstWrite(waitFrom);
        QVERIFY2(waitFrom.isEmpty() || waited >= waitMs, qPrintable(QString::number(waited)));
        if (faults.answerDelayMs > 100) // the late line is announced once it arrives
            QCOMPARE(reporter->info(), QStringLiteral("Tonesentinel  v2 detected."));
    }
};

QTEST_GUILESS_MAIN(LinkSessionTest)
#include "tst_linksession.moc"
