#include "LinkSession.h"

#include "LinkProtocol.h"
#include "common/Dtmf.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QEventLoop>
#include <QTimer>

namespace keytoner::link {

LinkSession::LinkSession(SerialPort &port, Clock &clock, QTimer &tmrTimeOut, LinkReporter &reporter,
                         ConfigImage &prgImage, ConfigImage &rxImage)
    : port_(port), clock_(clock), timer_(tmrTimeOut), reporter_(reporter), prgImage_(prgImage),
      rxImage_(rxImage), parser_(rxImage)
{
    connect(&port_, &SerialPort::received, this, &LinkSession::ReceiveData);
}

void LinkSession::ReceiveData()
{
    const QByteArray bytes = port_.readAll();
    for (const char c : bytes) {
        const auto event = parser_.ParseByte(static_cast<std::uint8_t>(c));
        if (!event)
            continue;
        handle(*event);
        emit frameHandled();
    }
}

void LinkSession::handle(const FrameEvent &event)
{
    switch (event.kind) {
    case FrameEvent::Kind::Identity:
        handleIdentity(event);
        break;
    case FrameEvent::Kind::DataFrame:
        handleDataFrame(event);
        break;
    case FrameEvent::Kind::Abandoned:
        break; // the exchange ends by its time-out
    }
}

void LinkSession::handleIdentity(const FrameEvent &event)
{
    if (!event.checksumOk)
        return;
    boardId_ = QString::fromLatin1(event.text);
    identityHandled_ = true;
    if (!showIdentity_)
        return; // GetVersion is waiting for it
    if (boardId_ == BoardIdentity) {
        showOk(true);
        reporter_.setInfoColor(LinkReporter::InfoColor::Black);
        reporter_.setInfo(boardId_ + QStringLiteral(" detected."));
    } else {
        reporter_.setInfoColor(LinkReporter::InfoColor::Red);
        reporter_.setInfo(QStringLiteral("Wrong version detected: ") + boardId_ +
                          QStringLiteral("\r\nUse ") + BoardIdentity + QStringLiteral(" !"));
    }
    reporter_.showDialog();
}

void LinkSession::handleDataFrame(const FrameEvent &event)
{
    QString text;
    bool ok = false;
    if (!event.checksumOk) {
        text = QStringLiteral("Error reading data from ") + boardId_;
    } else if (verifyMode_) {
        ok = rxImage_ == prgImage_;
        text = ok ? boardId_ + QStringLiteral(" successfully programmed")
                  : QStringLiteral("Error programming ") + boardId_;
    } else {
        reporter_.showConfigImage(rxImage_);
        text = QStringLiteral("Data from ") + boardId_ + QStringLiteral(" successfully read");
        ok = true;
    }
    dataVerdictOk_ = ok;
    reporter_.setInfo(text);
    showOk(true);
    reporter_.showDialog();
}

bool LinkSession::GetVersion()
{
    boardId_.clear();
    showIdentity_ = false;
    // Whatever the line carried before is no answer to this request: a frame that noise began
    // would otherwise swallow the start of the identity line.
    parser_.requestReset();
    write(IdentifyCommand);
    startTimer(IdentityWaitMs);
    pumpUntil([this] { return !boardId_.isEmpty(); });
    showIdentity_ = true;
    return boardId_ == BoardIdentity;
}

LinkSession::Outcome LinkSession::read()
{
    if (!port_.isOpen())
        return Outcome::NotStarted;
    return guarded([this] {
        showOk(false);
        reporter_.setInfo(QStringLiteral("\r\nReading Data."));
        reporter_.showDialog();
        pump();
        sleep(ReadPauseMs);
        addDot();
        pump();
        if (!GetVersion()) {
            reporter_.setInfo(
                QStringLiteral("FAILED to read version! Please Check Connections / Decoder"));
            failureTail();
            return Outcome::Failed;
        }
        sleep(ReadPauseMs);
        addDot();
        pump();
        verifyMode_ = false;
        return dataWait(QStringLiteral("FAILED to read data!  Please check Connections / Decoder"));
    });
}

LinkSession::Outcome LinkSession::ProgramBoard()
{
    const auto blocks = writeBlocks(prgImage_);
    if (!port_.isOpen())
        return Outcome::NotStarted;
    return guarded([this, &blocks] {
        reporter_.setInfo(QStringLiteral("\r\nSending data on COM") + QString::number(portNumber_) +
                          QStringLiteral("."));
        showOk(false);
        reporter_.showDialog();
        pump();
        if (!GetVersion()) {
            reporter_.setInfo(
                QStringLiteral("FAILED to get Version!  Unable to program, please check Decoder"));
            failureTail();
            return Outcome::Failed;
        }
        sleep(HeaderPauseMs);
        write(WriteHeader);
        write(blocks[0]);
        for (int k = 1; k < BlockCount; ++k) {
            sleep(BlockPauseMs);
            addDot();
            pump();
            write(blocks[k]);
        }
        sleep(BlockPauseMs);
        addDot();
        pump();
        sleep(ReadBackPauseMs);
        verifyMode_ = true;
        return dataWait(
            QStringLiteral("FAILED to read data!  Unable to program, please check Decoder"));
    });
}

// The data frame may hold 0x00 bytes: NUL discarding is off for the wait. The wait always runs
// its full time; the OK button, shown by a completed frame, tells whether one came.
LinkSession::Outcome LinkSession::dataWait(const QString &failureText)
{
    port_.setDiscardNull(false);
    dataVerdictOk_ = false;
    write(ReadCommand);
    pump();
    startTimer(DataWaitMs);
    pumpUntil([] { return false; });
    port_.setDiscardNull(true);
    if (!okShown_) {
        reporter_.setInfo(failureText);
        failureTail();
        return Outcome::Failed;
    }
    return dataVerdictOk_ ? Outcome::Succeeded : Outcome::Failed;
}

bool LinkSession::announceIdentity()
{
    showIdentity_ = true;
    identityHandled_ = false;
    parser_.requestReset();
    return port_.write(IdentifyCommand);
}

bool LinkSession::waitForIdentity(int ms)
{
    startTimer(ms);
    pumpUntil([this] { return identityHandled_; });
    timer_.stop();
    return identityHandled_;
}

void LinkSession::showOk(bool shown)
{
    okShown_ = shown;
    reporter_.setOkVisible(shown);
}

void LinkSession::failureTail()
{
    showOk(true);
    parser_.requestReset();
    for (int i = 0; i < FailureSpaceCount; ++i)
        write(QByteArray(1, ' '));
}

LinkSession::Outcome LinkSession::guarded(const std::function<Outcome()> &exchange)
{
    portError_.clear();
    try {
        return exchange();
    } catch (const PortFailure &failure) {
        showIdentity_ = true;
        portError_ = failure.description;
        return Outcome::PortError;
    }
}

void LinkSession::write(const QByteArray &bytes)
{
    if (!port_.write(bytes))
        throw PortFailure{port_.errorString()};
}

void LinkSession::pump()
{
    clock_.pumpOnce();
}

void LinkSession::sleep(int ms)
{
    clock_.sleepMs(ms);
}

void LinkSession::addDot()
{
    reporter_.setInfo(reporter_.info() + QLatin1Char('.'));
}

void LinkSession::startTimer(int ms)
{
    // A coarse timer may fire 5% early; the waits are minimums the board's timing relies on.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    timer_.start(ms);
}

void LinkSession::pumpUntil(const std::function<bool()> &done)
{
    pump();
    if (done() || !timer_.isActive())
        return;
    QEventLoop loop;
    connect(&timer_, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &LinkSession::frameHandled, &loop, [&] {
        if (done())
            loop.quit();
    });
    loop.exec();
}

} // namespace keytoner::link
