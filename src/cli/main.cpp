#include "Commands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <map>

namespace {

using Command = std::function<int(const QStringList &)>;

const std::map<QString, std::pair<Command, const char *>> &commands()
{
    using namespace keytoner::cli;
    static const std::map<QString, std::pair<Command, const char *>> table{
        {"wav", {runWav, "write a sequence as a WAV file"}},
        {"send", {runSend, "play a sequence on the default sound output"}},
        {"calc", {runCalc, "compute the sequence that replaces a command over the air"}},
        {"image", {runImage, "validate a configuration file and print its 192-byte image"}},
        {"decode", {runDecode, "turn a 192-byte image into a configuration file"}},
        {"identify", {runIdentify, "ask the board for its identity"}},
        {"read", {runRead, "read the board's configuration into a file"}},
        {"program", {runProgram, "program a configuration file into the board"}},
        {"simulate", {runSimulate, "run a virtual board on a pseudo-terminal"}},
        {"ports", {runPorts, "list serial ports; bind port numbers to them"}},
        {"cw", {runCw, "play a text in Morse, or write it as a WAV file"}},
        {"listen", {runListen, "decode DTMF keys and Morse from a WAV file or a sound input"}},
    };
    return table;
}

int usage(int status)
{
    QTextStream out(status == 0 ? stdout : stderr);
    out << "Usage: keytoner-cli COMMAND [options]\n\nCommands:\n";
    for (const auto &[name, entry] : commands())
        out << "  " << name.leftJustified(10) << entry.second << '\n';
    out << "\nRun keytoner-cli COMMAND --help for the options of a command.\n";
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keytoner-cli"));
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return usage(2);
    const QString name = arguments.at(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help"))
        return usage(0);
    const auto found = commands().find(name);
    if (found == commands().end()) {
        QTextStream(stderr) << "keytoner-cli: unknown command '" << name << "'\n";
        return usage(2);
    }
    arguments.removeAt(1);
    arguments[0] = QStringLiteral("keytoner-cli ") + name;
    return found->second.first(arguments);
}
