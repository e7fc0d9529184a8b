#include "CommandLine.h"
#include "CommandLinePath.h"
#include "Commands.h"
#include "platform/PortBinding.h"
#include "platform/ProgramFolder.h"
#include "platform/QtSerialPortList.h"
#include "platform/SerialDevice.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <optional>

namespace keytoner::cli {

namespace {

QString numbersText(const QList<int> &numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts.append(QString::number(number));
    return texts.isEmpty() ? QStringLiteral("-") : texts.join(u',');
}

bool bindingShown(const ComBinding &binding, const QList<PortRow> &rows)
{
    for (const PortRow &row : rows)
        if (row.numbers.contains(binding.number))
            return true;
    return false;
}

void printText(const QList<PortRow> &rows, const QList<ComBinding> &bindings)
{
    QTextStream out(stdout);
    for (const PortRow &row : rows) {
        const SerialPortEntry &port = row.port;
        QStringList parts{port.device};
        for (const QString &part : {port.description, port.manufacturer})
            if (!part.isEmpty())
                parts.append(part);
        if (!port.serialNumber.isEmpty())
            parts.append(QStringLiteral("serial ") + port.serialNumber);
        if (!usbIdText(port).isEmpty())
            parts.append(QStringLiteral("USB ") + usbIdText(port));
        if (!port.stableName.isEmpty())
            parts.append(port.stableName);
        out << numbersText(row.numbers).leftJustified(6) << parts.join(QStringLiteral(", "))
            << '\n';
    }
    // Numbers whose link leads to no listed port: unplugged adapters, virtual boards.
    for (const ComBinding &binding : bindings) {
        if (bindingShown(binding, rows))
            continue;
        const QString meaning = binding.resolved.isEmpty()
                                    ? QStringLiteral("not connected (") + binding.target + u')'
                                    : binding.resolved;
        out << QString::number(binding.number).leftJustified(6) << meaning << '\n';
    }
}

void printJson(const QList<PortRow> &rows, const QList<ComBinding> &bindings)
{
    QJsonArray ports;
    for (const PortRow &row : rows) {
        const SerialPortEntry &port = row.port;
        QJsonArray numbers;
        for (int number : row.numbers)
            numbers.append(number);
        ports.append(QJsonObject{
            {QStringLiteral("numbers"), numbers},
            {QStringLiteral("device"), port.device},
            {QStringLiteral("name"), port.name},
            {QStringLiteral("description"), port.description},
            {QStringLiteral("manufacturer"), port.manufacturer},
            {QStringLiteral("serialNumber"), port.serialNumber},
            {QStringLiteral("usbId"), usbIdText(port)},
            {QStringLiteral("stableName"), port.stableName},
        });
    }
    QJsonArray links;
    for (const ComBinding &binding : bindings)
        links.append(QJsonObject{
            {QStringLiteral("number"), binding.number},
            {QStringLiteral("target"), binding.target},
            {QStringLiteral("device"), binding.resolved.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                  : QJsonValue(binding.resolved)},
        });
    const QJsonObject all{{QStringLiteral("ports"), ports}, {QStringLiteral("bindings"), links}};
    QTextStream(stdout) << QJsonDocument(all).toJson(QJsonDocument::Indented);
}

std::optional<int> portNumber(const QString &text)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > 16)
        return std::nullopt;
    return number;
}

// What --bind links to: the listed port the user named (by device, stable name or name) through
// its stable name, or else the path as given, made absolute.
std::optional<QString> bindTargetFor(const QString &device, const QList<SerialPortEntry> &ports)
{
    const QString absolute = commandLinePath(device);
    const QFileInfo given(absolute);
    const QString node = given.canonicalFilePath();
    for (const SerialPortEntry &port : ports) {
        if (port.name != device && port.device != absolute && port.stableName != absolute &&
            (node.isEmpty() || port.device != node))
            continue;
        // A name of the user's own (a udev rule's link) is as stable as the system's.
        if (port.stableName.isEmpty() && given.exists())
            return absolute;
        return bindingTarget(port);
    }
    if (given.exists())
        return absolute;
    return std::nullopt;
}

} // namespace

int runPorts(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the serial ports, each with the port numbers bound to it first, and binds or "
        "unbinds numbers as the window's port chooser does."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("print JSON"));
    const QCommandLineOption bind(QStringLiteral("bind"),
                                  QStringLiteral("bind port number N to DEVICE (a device path, "
                                                 "its stable name or its name)"),
                                  QStringLiteral("N"));
    const QCommandLineOption unbind(QStringLiteral("unbind"),
                                    QStringLiteral("remove the binding of port number N"),
                                    QStringLiteral("N"));
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QStringLiteral("program folder holding the comN links (default: the program's own)"),
        QStringLiteral("DIR"));
    parser.addOptions({json, bind, unbind, folder});
    parser.addPositionalArgument(QStringLiteral("DEVICE"), QStringLiteral("with --bind"),
                                 QStringLiteral("[DEVICE]"));
    // A first look, to know whether a DEVICE is to come.
    parser.parse(arguments);
    const bool binding = parser.isSet(bind);
    if (auto status = parseCommandLine(parser, arguments, binding ? 1 : 0,
                                       binding ? QStringLiteral("--bind N needs a DEVICE")
                                               : QStringLiteral("DEVICE goes with --bind")))
        return *status;
    const QString dir = parser.isSet(folder) ? commandLinePath(parser.value(folder))
                                             : programFolder(UserFolder::LeaveMissing);
    QtSerialPortList list;
    if (parser.isSet(bind) || parser.isSet(unbind)) {
        if (!portsBindByLink())
            return usageError(arguments, QStringLiteral("port numbers here are the system's own"));
        if (parser.isSet(bind) && parser.isSet(unbind))
            return usageError(arguments, QStringLiteral("give --bind or --unbind, not both"));
        const auto number = portNumber(parser.value(parser.isSet(bind) ? bind : unbind));
        if (!number)
            return usageError(arguments, QStringLiteral("Please enter a valid Comm number."));
        if (parser.isSet(unbind)) {
            if (const auto failure = unbindComPort(dir, *number))
                return fail(arguments, *failure);
            return 0;
        }
        const QString device = parser.positionalArguments().value(0);
        const auto target = bindTargetFor(device, list.ports());
        if (!target)
            return fail(arguments, device + QStringLiteral(": no such device"));
        if (const auto failure = bindComPort(dir, *number, *target))
            return fail(arguments, *failure);
        QTextStream(stdout) << portMeaning(*number, list.ports(), readComBindings(dir),
                                           standardSerialDevice(*number))
                            << '\n';
        return 0;
    }
    const QList<ComBinding> bindings = readComBindings(dir);
    const QList<PortRow> rows = portRows(list.ports(), bindings);
    if (parser.isSet(json))
        printJson(rows, bindings);
    else
        printText(rows, bindings);
    return 0;
}

} // namespace keytoner::cli
