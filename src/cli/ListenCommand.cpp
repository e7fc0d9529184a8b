#include "CommandLine.h"
#include "Commands.h"
#include "ListenOutput.h"
#include "LiveInput.h"
#include "listen/Listener.h"
#include "tone/WavFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace keytoner::cli {

namespace {

struct Kinds {
    bool dtmf = true;
    bool cw = true;
};

struct ListenOptions {
    QCommandLineOption device{QStringLiteral("device"),
                              QStringLiteral("Listen to this sound input (its name or id) instead "
                                             "of the default one."),
                              QStringLiteral("NAME")};
    QCommandLineOption dtmf{QStringLiteral("dtmf"), QStringLiteral("Decode DTMF keys.")};
    QCommandLineOption cw{QStringLiteral("cw"), QStringLiteral("Decode Morse.")};
    QCommandLineOption seconds{QStringLiteral("seconds"),
                               QStringLiteral("Stop after N seconds (of the file, or of "
                                              "listening)."),
                               QStringLiteral("N")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("One JSON object per event: time, kind, text.")};
};

class Printer {
public:
    explicit Printer(bool json) : json_(json) {}
    void print(const std::vector<ListenEvent> &events)
    {
        for (const ListenEvent &event : events)
            out_ << eventLine(event, json_) << '\n';
        out_.flush();
    }

private:
    bool json_;
    QTextStream out_{stdout};
};

int listenToFile(const QStringList &arguments, const QString &path, Kinds options, double seconds,
                 Printer &printer)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(arguments, path + QStringLiteral(": ") + file.errorString());
    QString problem;
    const auto sound = readWavBytes(file.readAll(), problem);
    if (!sound)
        return fail(arguments, path + QStringLiteral(": ") + problem);
    Listener listener(sound->sampleRate, options.dtmf, options.cw);
    std::size_t count = sound->samples.size();
    if (seconds > 0.0)
        count = std::min(count, static_cast<std::size_t>(seconds * sound->sampleRate));
    std::vector<ListenEvent> events;
    // Blocks of 20 ms, as a live input would bring them.
    const std::size_t block = std::max(1, sound->sampleRate / 50);
    for (std::size_t at = 0; at < count; at += block) {
        listener.process(sound->samples.data() + at, std::min(block, count - at), events);
        printer.print(events);
        events.clear();
    }
    listener.flush(events);
    printer.print(events);
    return 0;
}

int interruptPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(interruptPipe[1], &byte, 1);
}

int listenLive(const QStringList &arguments, const QString &deviceName, Kinds options,
               double seconds, Printer &printer)
{
    const auto device = LiveInput::find(deviceName);
    if (!device) {
        QString message = deviceName.isEmpty()
                              ? QStringLiteral("There is no sound input.")
                              : QStringLiteral("No sound input named '%1'.").arg(deviceName);
        const QStringList names = LiveInput::names();
        if (!names.isEmpty())
            message += QStringLiteral(" Inputs: ") + names.join(QStringLiteral(", "));
        return fail(arguments, message);
    }
    LiveInput input(*device);
    Listener listener(input.sampleRate(), options.dtmf, options.cw);
    std::vector<ListenEvent> events;
    int status = 0;
    QObject::connect(&input, &LiveInput::samples, [&](const std::vector<int16_t> &block) {
        listener.process(block.data(), block.size(), events);
        printer.print(events);
        events.clear();
    });
    QObject::connect(&input, &LiveInput::failed, [&](const QString &problem) {
        status = fail(arguments, problem);
        QCoreApplication::exit();
    });
    // Ctrl+C or a termination request ends the run like the time limit: pending text is shown.
    if (::pipe(interruptPipe) != 0)
        return fail(arguments, QStringLiteral("Cannot watch for interruptions."));
    QSocketNotifier interrupted(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, [] { QCoreApplication::exit(); });
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    if (!input.start())
        return fail(arguments,
                    QStringLiteral("Cannot open the sound input '%1'.").arg(device->description()));
    if (seconds > 0.0)
        QTimer::singleShot(static_cast<int>(seconds * 1000.0), [] { QCoreApplication::exit(); });
    QCoreApplication::exec();
    listener.flush(events);
    printer.print(events);
    return status;
}

int runListenCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Decodes DTMF keys and Morse from a WAV file or a live sound input and prints one "
        "event per line: time in seconds, kind (dtmf or cw), text."));
    ListenOptions options;
    parser.addOptions({options.device, options.dtmf, options.cw, options.seconds, options.json});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A WAV file; without it, the live input."),
                                 QStringLiteral("[FILE]"));
    if (auto status =
            parseCommandLine(parser, arguments, 0, QStringLiteral("Wrong number of arguments."), 1))
        return *status;
    const QStringList positionals = parser.positionalArguments();
    if (!positionals.isEmpty() && parser.isSet(options.device))
        return usageError(parser, arguments,
                          QStringLiteral("Give either a file or --device, not both."));
    double seconds = 0.0;
    if (parser.isSet(options.seconds)) {
        bool ok = false;
        seconds = parser.value(options.seconds).toDouble(&ok);
        if (!ok || !(seconds > 0.0) || seconds > 1e6)
            return usageError(parser, arguments,
                              QStringLiteral("Not a number of seconds: '%1'.")
                                  .arg(parser.value(options.seconds)));
    }
    Kinds kinds{parser.isSet(options.dtmf), parser.isSet(options.cw)};
    if (!kinds.dtmf && !kinds.cw)
        kinds = {true, true};
    Printer printer(parser.isSet(options.json));
    if (!positionals.isEmpty())
        return listenToFile(arguments, positionals.at(0), kinds, seconds, printer);
    return listenLive(arguments, parser.value(options.device), kinds, seconds, printer);
}

} // namespace

int runListen(const QStringList &arguments)
{
    const int status = runListenCommand(arguments);
    // As for send: leave without Qt's PulseAudio teardown, which may race its own thread.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace keytoner::cli
