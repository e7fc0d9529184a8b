#pragma once

#include "platform/Clock.h"
#include "platform/QtSerialPort.h"

#include <QCommandLineOption>
#include <QString>
#include <functional>

class QCommandLineParser;

namespace keytoner::cli {

// --ptt N, --ptt-device PATH and --txdelay MS of the send command: the transmitter keyed on
// the RTS line of a port around the tones, with the window's TX delay and 40 ms tail.
class PttOption {
public:
    void addTo(QCommandLineParser &parser) const;
    // Opens the PTT port when one was asked for; false, with the reason on stderr, when it
    // cannot be opened or the options are wrong.
    bool open(const QCommandLineParser &parser, const QString &command);
    // RTS on, TX delay, play, 40 ms, RTS off; only play without a PTT port.
    void around(const std::function<void()> &play);

private:
    QCommandLineOption port_{QStringLiteral("ptt"),
                             QStringLiteral("Key PTT on the RTS line of port N (1-16)."),
                             QStringLiteral("N")};
    QCommandLineOption device_{QStringLiteral("ptt-device"),
                               QStringLiteral("Key PTT on the RTS line of this serial device."),
                               QStringLiteral("PATH")};
    QCommandLineOption txDelay_{
        QStringLiteral("txdelay"),
        QStringLiteral("TX delay between PTT and the first tone in ms (20-2000, default 200)."),
        QStringLiteral("MS"), QStringLiteral("200")};
    QtSerialPort serial_;
    SystemClock clock_;
    int txDelayMs_ = 0;
};

} // namespace keytoner::cli
