#pragma once

#include "FrameParser.h"
#include "LinkReporter.h"
#include "config/ConfigImage.h"

#include <QObject>
#include <QString>
#include <functional>

class QTimer;

namespace keytoner {
class Clock;
class SerialPort;
} // namespace keytoner

namespace keytoner::link {

// The board's side of the port: the parser, run for every receive event, and the identity,
// READ and PROGRAM exchanges with their pauses and waits. Pumped waits run the event loop until
// their condition or the one-shot timer ends them; pauses block.
class LinkSession : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        NotStarted, // port not open
        Succeeded,
        Failed,    // the dialog tells why
        PortError, // a write failed; portError() tells why
    };

    LinkSession(SerialPort &port, Clock &clock, QTimer &tmrTimeOut, LinkReporter &reporter,
                ConfigImage &prgImage, ConfigImage &rxImage);

    Outcome read();
    // PROGRAM with PrgImage as it stands.
    Outcome ProgramBoard();
    bool GetVersion();

    // What follows the programming port's opening: the identity, when it comes, is announced.
    bool announceIdentity();
    // Waits up to ms, pumping, until an identity line has been handled; for keytoner-cli.
    bool waitForIdentity(int ms);

    void ReceiveData();
    void setPortNumber(int number) { portNumber_ = number; }
    QString portError() const { return portError_; }

    // The board's name from the last identity line whose checksum was right.
    const QString &BoardId() const { return boardId_; }
    // Whether a good identity line is announced; false only while GetVersion waits for one.
    bool ShowIdentity() const { return showIdentity_; }
    // Whether a data frame is compared with PrgImage (after a PROGRAM) or loaded (after a READ).
    bool VerifyMode() const { return verifyMode_; }

signals:
    // Emitted after each frame the parser completed or abandoned.
    void frameHandled();

private:
    struct PortFailure {
        QString description;
    };

    void handle(const FrameEvent &event);
    void handleIdentity(const FrameEvent &event);
    void handleDataFrame(const FrameEvent &event);
    void failureTail();
    // The verdict of a data wait rests on this, not on what the reporter displays.
    void showOk(bool shown);
    void write(const QByteArray &bytes);
    void pump();
    void sleep(int ms);
    void addDot();
    void startTimer(int ms);
    // Pumps until done() holds or the timer has stopped.
    void pumpUntil(const std::function<bool()> &done);
    Outcome guarded(const std::function<Outcome()> &exchange);
    Outcome dataWait(const QString &failureText);

    SerialPort &port_;
    Clock &clock_;
    QTimer &timer_;
    LinkReporter &reporter_;
    ConfigImage &prgImage_;
    ConfigImage &rxImage_;
    FrameParser parser_;
    int portNumber_ = 0;
    QString portError_;
    bool dataVerdictOk_ = false;
    // Whether the OK button is shown as this session last set it; only the session sets it.
    bool okShown_ = true;
    bool identityHandled_ = false;
    QString boardId_;
    bool showIdentity_ = false;
    bool verifyMode_ = false;
};

} // namespace keytoner::link
