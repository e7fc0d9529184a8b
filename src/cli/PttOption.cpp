#include "PttOption.h"

#include "CommandLinePath.h"
#include "OpenFailure.h"
#include "platform/ProgramFolder.h"
#include "platform/SerialDevice.h"
#include "tone/SenderTiming.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

namespace keytoner::cli {

namespace {
constexpr int PttTailMs = 40;
}

void PttOption::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({port_, device_, txDelay_});
}

bool PttOption::open(const QCommandLineParser &parser, const QString &command)
{
    QString device;
    QString portText = parser.value(port_);
    if (parser.isSet(port_)) {
        const int number = portText.toInt();
        if (!QRegularExpression(QStringLiteral("^[0-9]{1,2}$")).match(portText).hasMatch() ||
            number < 1 || number > 16) {
            QTextStream(stderr) << command << ": Please enter a valid Comm number.\n";
            return false;
        }
        device = serialDeviceName(number, programFolder(UserFolder::LeaveMissing));
    }
    if (parser.isSet(device_)) {
        device = commandLinePath(parser.value(device_));
        portText = parser.value(device_);
    }
    if (device.isEmpty())
        return true;
    // The window corrects the TX delay field the same way before it keys.
    txDelayMs_ = txDelayMs(correctTxDelay(parser.value(txDelay_)));
    if (!serial_.open(device)) {
        QTextStream(stderr) << command << ": " << openFailureMessage(portText, device, serial_)
                            << '\n';
        return false;
    }
    return true;
}

void PttOption::around(const std::function<void()> &play)
{
    if (!serial_.isOpen()) {
        play();
        return;
    }
    serial_.setRts(true);
    clock_.sleepMs(txDelayMs_);
    play();
    clock_.sleepMs(PttTailMs);
    serial_.setRts(false);
    serial_.close();
}

} // namespace keytoner::cli
