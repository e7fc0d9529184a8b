#include "CommandLine.h"
#include "CommandLinePath.h"
#include "Commands.h"
#include "OpenFailure.h"
#include "ProgramImage.h"
#include "common/Dtmf.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"
#include "link/LinkProtocol.h"
#include "link/LinkReporter.h"
#include "link/LinkSession.h"
#include "link/RecordingReporter.h"
#include "link/VirtualBoard.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "platform/QtSerialPort.h"
#include "platform/SerialDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <optional>

namespace keytoner::cli {

namespace {

struct LinkOptions {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("port number 1-16, mapped as the window maps it"),
                            QStringLiteral("N")};
    QCommandLineOption device{QStringLiteral("device"),
                              QStringLiteral("serial device to use instead of a port number"),
                              QStringLiteral("PATH")};
    QCommandLineOption folder{
        QStringLiteral("folder"),
        QStringLiteral("program folder holding the comN links (default: the program's own)"),
        QStringLiteral("DIR")};
};

void printResult(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextStream(stdout) << shown.trimmed() << '\n';
}

// A port opened as the window's programming box opens it, with the exchanges over it.
class Link {
public:
    Link(const QString &portText, int portNumber)
        : reporter(portText), session(port, clock, timer, reporter, prgImage, rxImage)
    {
        session.setPortNumber(portNumber);
    }

    // Ticking the box: open, identify, and let the announcement come.
    bool enable(const QString &device)
    {
        if (!port.open(device))
            return false;
        session.announceIdentity();
        session.waitForIdentity(300);
        return true;
    }

    // Unticking the box: the close command, then the port closes.
    void disable()
    {
        if (!port.isOpen())
            return;
        port.write(link::CloseCommand);
        clock.pumpOnce();
        port.close();
    }

    SystemClock clock;
    QtSerialPort port;
    QTimer timer;
    link::RecordingReporter reporter;
    ConfigImage prgImage{};
    ConfigImage rxImage{};
    link::LinkSession session;
};

struct Target {
    QString device;
    QString portText;
    int portNumber = 0;
};

// The device named by --device, or the one behind --port N as the window finds it.
std::optional<Target> target(const QCommandLineParser &parser, const LinkOptions &options,
                             const QStringList &arguments, int &status)
{
    Target found;
    if (parser.isSet(options.port)) {
        found.portText = parser.value(options.port);
        const QRegularExpression number(QStringLiteral("^[0-9]{1,2}$"));
        const int value = found.portText.toInt();
        if (!number.match(found.portText).hasMatch() || value < 1 || value > 16) {
            status = usageError(arguments, QStringLiteral("Please enter a valid Comm number."));
            return std::nullopt;
        }
        found.portNumber = value;
        const QString folder = parser.isSet(options.folder)
                                   ? commandLinePath(parser.value(options.folder))
                                   : programFolder(UserFolder::LeaveMissing);
        found.device = serialDeviceName(value, folder);
    }
    if (parser.isSet(options.device)) {
        found.device = commandLinePath(parser.value(options.device));
        if (found.portText.isEmpty())
            found.portText = QStringLiteral("1");
    }
    if (found.device.isEmpty()) {
        status = usageError(arguments, QStringLiteral("give --port N or --device PATH"));
        return std::nullopt;
    }
    return found;
}

// Parses the common options and opens the link; the exit status when it must stop.
std::optional<int> openLink(QCommandLineParser &parser, const LinkOptions &options,
                            const QStringList &arguments, qsizetype positionals,
                            std::unique_ptr<Link> &link, Target &where)
{
    parser.addOptions({options.port, options.device, options.folder});
    if (auto status = parseCommandLine(parser, arguments, positionals))
        return status;
    int status = 0;
    const auto found = target(parser, options, arguments, status);
    if (!found)
        return status;
    where = *found;
    link = std::make_unique<Link>(where.portText, where.portNumber);
    if (!link->enable(where.device))
        return fail(arguments, openFailureMessage(where.portText, where.device, link->port));
    return std::nullopt;
}

int finish(Link &link, link::LinkSession::Outcome outcome, const QStringList &arguments)
{
    link.disable();
    if (outcome == link::LinkSession::Outcome::PortError)
        return fail(arguments, link.session.portError());
    printResult(link.reporter.info());
    return outcome == link::LinkSession::Outcome::Succeeded ? 0 : 1;
}

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

std::optional<link::VirtualBoard::Faults> faultsNamed(const QString &name)
{
    link::VirtualBoard::Faults faults;
    if (name.isEmpty())
        return faults;
    if (name == QLatin1String("other-identity"))
        faults.identity = "Tonesentinel  v3";
    else if (name == QLatin1String("late-identity"))
        faults.answerDelayMs = 150;
    else if (name == QLatin1String("bad-checksum"))
        faults.badDataSum = true;
    else if (name == QLatin1String("filtered-byte"))
        faults.filteredPosition = 8;
    else if (name == QLatin1String("bad-store"))
        faults.readBackDifference = 3;
    else if (name == QLatin1String("silence"))
        faults.silent = true;
    else if (name == QLatin1String("garbage"))
        faults.garbage = true;
    else if (name == QLatin1String("hang-up"))
        faults.hangUpInRead = true;
    else
        return std::nullopt;
    return faults;
}

} // namespace

int runIdentify(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Enables the programming port as the window does and prints how the board answered."));
    LinkOptions options;
    std::unique_ptr<Link> link;
    Target where;
    if (auto status = openLink(parser, options, arguments, 0, link, where))
        return *status;
    link->session.waitForIdentity(1000);
    link->disable();
    if (link->session.BoardId().isEmpty() && link->reporter.info().isEmpty())
        return fail(arguments, QStringLiteral("no identity from the board on ") + where.device);
    printResult(link->reporter.info());
    return link->session.BoardId() == BoardIdentity ? 0 : 1;
}

int runRead(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads the board's configuration as READ does and saves it as a "
                       "configuration file."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("configuration file to write"),
                                    QStringLiteral("FILE.prg"));
    parser.addOption(output);
    LinkOptions options;
    std::unique_ptr<Link> link;
    Target where;
    if (auto status = openLink(parser, options, arguments, 0, link, where))
        return *status;
    if (!parser.isSet(output)) {
        link->disable();
        return usageError(arguments, QStringLiteral("give -o FILE.prg"));
    }
    const auto outcome = link->session.read();
    const int status = finish(*link, outcome, arguments);
    if (status != 0 || link->reporter.shownImages().isEmpty())
        return status == 0 ? 1 : status;
    BoardConfig config = fittedToFields(decodeConfigImage(link->reporter.shownImages().last()));
    config.txtPrgComm = where.portText;
    if (auto failure = saveConfigFile(parser.value(output), config))
        return fail(arguments, parser.value(output) + QStringLiteral(": ") + *failure);
    return 0;
}

int runProgram(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Validates a configuration file as PROGRAM does, programs it into the "
                       "board and verifies it by reading it back."));
    parser.addPositionalArgument(QStringLiteral("FILE.prg"), QStringLiteral("configuration file"));
    LinkOptions options;
    // The file is checked before the port is touched.
    parser.addOptions({options.port, options.device, options.folder});
    if (auto status = parseCommandLine(parser, arguments, 1))
        return *status;
    QString failure;
    const auto image = programImage(parser.positionalArguments().at(0), failure);
    if (!image)
        return fail(arguments, failure);

    int status = 0;
    const auto found = target(parser, options, arguments, status);
    if (!found)
        return status;
    Link link(found->portText, found->portNumber);
    if (!link.enable(found->device))
        return fail(arguments, openFailureMessage(found->portText, found->device, link.port));
    link.prgImage = *image;
    return finish(link, link.session.ProgramBoard(), arguments);
}

int runSimulate(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a virtual Tonesentinel board on a pseudo-terminal until interrupted, and prints "
        "the device to open. With --link N it also links comN in the program folder, so that "
        "port N of Keytoner reaches it."));
    const QCommandLineOption linkOption(QStringLiteral("link"),
                                        QStringLiteral("create the link comN (N = 1-16)"),
                                        QStringLiteral("N"));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("program folder for the link (default: the "
                                                   "program's own)"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("misbehave: other-identity, late-identity, bad-checksum, filtered-byte, "
                       "bad-store, silence, garbage or hang-up"),
        QStringLiteral("NAME"));
    parser.addOptions({linkOption, folder, fault});
    if (auto status = parseCommandLine(parser, arguments, 0))
        return *status;
    const auto faults = faultsNamed(parser.value(fault));
    if (!faults)
        return usageError(arguments, QStringLiteral("unknown fault ") + parser.value(fault));
    QString linkPath;
    if (parser.isSet(linkOption)) {
        const int number = parser.value(linkOption).toInt();
        if (number < 1 || number > 16)
            return usageError(arguments, QStringLiteral("Please enter a valid Comm number."));
        const QString dir =
            parser.isSet(folder) ? parser.value(folder) : programFolder(UserFolder::LeaveMissing);
        QDir().mkpath(dir);
        linkPath = QDir(dir).filePath(QStringLiteral("com%1").arg(number));
    }

    link::VirtualBoard board;
    QString error;
    if (!board.start(&error))
        return fail(arguments, error);
    board.setFaults(*faults);
    if (!linkPath.isEmpty()) {
        const QFileInfo existing(linkPath);
        if (existing.exists() && !existing.isSymLink())
            return fail(arguments, linkPath + QStringLiteral(" exists and is no link"));
        QFile::remove(linkPath);
        if (!QFile::link(board.devicePath(), linkPath))
            return fail(arguments, QStringLiteral("cannot create ") + linkPath);
    }
    QTextStream(stdout) << board.devicePath() << Qt::endl;
    if (!linkPath.isEmpty())
        QTextStream(stdout) << linkPath << Qt::endl;

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (stopRequested)
            QCoreApplication::quit();
    });
    watch.start(100);
    QCoreApplication::exec();
    if (!linkPath.isEmpty() && QFileInfo(linkPath).symLinkTarget() == board.devicePath())
        QFile::remove(linkPath);
    board.stop();
    return 0;
}

} // namespace keytoner::cli
