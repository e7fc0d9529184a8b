#include "CommandLine.h"
#include "Commands.h"
#include "remote/ReplacementCalculator.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace keytoner::cli {

int runCalc(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the DTMF sequence that makes the board replace the command code "
                       "ORIGINAL with NEW over the air."));
    parser.addPositionalArgument(QStringLiteral("ORIGINAL"),
                                 QStringLiteral("The command code to replace (1 to 10 digits)."));
    parser.addPositionalArgument(QStringLiteral("NEW"),
                                 QStringLiteral("The replacement code (2 to 10 digits)."));
    const QCommandLineOption modifier({QStringLiteral("m"), QStringLiteral("modifier")},
                                      QStringLiteral("The board's modifier ID (1 to 8 digits)."),
                                      QStringLiteral("M"));
    const QCommandLineOption checksum({QStringLiteral("c"), QStringLiteral("checksum")},
                                      QStringLiteral("The board's checksum ID (one digit)."),
                                      QStringLiteral("C"));
    parser.addOptions({modifier, checksum});

    if (auto status =
            parseCommandLine(parser, arguments, 2, QStringLiteral("Expected ORIGINAL and NEW.")))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (!parser.isSet(modifier) || !parser.isSet(checksum))
        return usageError(parser, arguments,
                          QStringLiteral("Both --modifier and --checksum are required."));

    const ReplacementResult result = calculateReplacement(
        {positional.at(0), parser.value(modifier), positional.at(1), parser.value(checksum)});
    if (const auto *sequence = std::get_if<QString>(&result)) {
        QTextStream(stdout) << *sequence << '\n';
        return 0;
    }
    const auto &refusal = std::get<ReplacementRefusal>(result);
    QString message = refusal.message;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextStream(stderr) << message << '\n';
    return 1;
}

} // namespace keytoner::cli
