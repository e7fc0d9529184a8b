#include "CommandLine.h"
#include "Commands.h"
#include "ProgramImage.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigFile.h"
#include "config/ImageText.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

namespace keytoner::cli {

namespace {

std::optional<QByteArray> readInput(const QString &path, QString &failure)
{
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        failure = path + QStringLiteral(": ") + file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

bool writeStdout(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) ==
               size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

} // namespace

int runImage(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Validates a configuration file as PROGRAM does and prints the image it "
                       "would send, in hex, 16 bytes a line."));
    parser.addPositionalArgument(QStringLiteral("FILE.prg"), QStringLiteral("configuration file"));
    if (auto status = parseCommandLine(parser, arguments, 1))
        return *status;

    QString failure;
    const auto image = programImage(parser.positionalArguments().at(0), failure);
    if (!image)
        return fail(arguments, failure);
    QTextStream(stdout) << imageToHex(*image);
    return 0;
}

int runDecode(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turns a 192-byte configuration image (raw bytes or hex text) into the "
                       "configuration file that showing it and saving it would give."));
    parser.addPositionalArgument(QStringLiteral("IMAGE"),
                                 QStringLiteral("image file, raw or hex; - for standard input"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("write the file here instead of printing it"),
                                    QStringLiteral("FILE.prg"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("programming port number to record (default 1)"),
                                  QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({output, port});
    if (auto status = parseCommandLine(parser, arguments, 1))
        return *status;
    const QString portText = parser.value(port);
    if (!QRegularExpression(QStringLiteral("^[0-9]{1,2}$")).match(portText).hasMatch())
        return usageError(arguments, QStringLiteral("--port takes one or two digits"));

    QString failure;
    const auto bytes = readInput(parser.positionalArguments().at(0), failure);
    if (!bytes)
        return fail(arguments, failure);
    const ImageParse parsed = parseImage(*bytes);
    if (!parsed.image)
        return fail(arguments, QStringLiteral("not an image: ") + parsed.failure);

    BoardConfig config = fittedToFields(decodeConfigImage(*parsed.image));
    config.txtPrgComm = portText;
    if (parser.isSet(output)) {
        if (auto saveFailure = saveConfigFile(parser.value(output), config))
            return fail(arguments, parser.value(output) + QStringLiteral(": ") + *saveFailure);
        return 0;
    }
    if (auto refusal = unwritableConfigText(config))
        return fail(arguments, *refusal);
    return writeStdout(writeConfigFile(config)) ? 0
                                                : fail(arguments, QStringLiteral("cannot write"));
}

} // namespace keytoner::cli
