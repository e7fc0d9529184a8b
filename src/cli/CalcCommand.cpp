#include "CommandLine.h"
#include "Commands.h"
#include "common/Dtmf.h"
#include "remote/ReplacementCalculator.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace keytoner::cli {

namespace {

struct CalcField {
    QString name;
    const QString *text;
    int minDigits;
    int maxDigits;
};

// What the window's fields and their entry rules hold the four values to; a command line holds
// nothing, so each limit is checked here.
std::optional<QString> fieldProblem(const ReplacementRequest &r)
{
    const CalcField fields[] = {{QStringLiteral("ORIGINAL"), &r.original, 1, 10},
                                {QStringLiteral("NEW"), &r.newCode, 2, 10},
                                {QStringLiteral("--modifier"), &r.modifierId, 1, 8},
                                {QStringLiteral("--checksum"), &r.checksumId, 1, 1}};
    for (const CalcField &field : fields) {
        const QString &text = *field.text;
        for (qsizetype k = 0; k < text.size(); ++k)
            if (!isDtmfKey(text[k]))
                return QStringLiteral("%1 \"%2\": \"%3\" at position %4 is not a DTMF digit "
                                      "(0-9, *, #, A-D).")
                    .arg(field.name, text, text.mid(k, 1), QString::number(k + 1));
        if (text.size() < field.minDigits || text.size() > field.maxDigits) {
            const QString range =
                field.minDigits == field.maxDigits
                    ? QStringLiteral("exactly one")
                    : QStringLiteral("%1 to %2").arg(field.minDigits).arg(field.maxDigits);
            const QString count = text.size() == 1 ? QStringLiteral("1 digit")
                                                   : QStringLiteral("%1 digits").arg(text.size());
            return QStringLiteral("%1 \"%2\" has %3; it takes %4.")
                .arg(field.name, text, count, range);
        }
    }
    // On the air the checksum ID marks where the new code ends.
    const qsizetype clash = r.newCode.indexOf(r.checksumId);
    if (clash >= 0)
        return QStringLiteral("NEW \"%1\" holds the checksum ID %2 at position %3; the new code "
                              "must not contain it.")
            .arg(r.newCode, r.checksumId, QString::number(clash + 1));
    return std::nullopt;
}

} // namespace

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

    // Lower-case a to d are the keys A to D, as the window's fields upper-case them.
    const ReplacementRequest request{positional.at(0).toUpper(), parser.value(modifier).toUpper(),
                                     positional.at(1).toUpper(), parser.value(checksum).toUpper()};
    if (const auto problem = fieldProblem(request))
        return usageError(arguments, *problem);
    const ReplacementResult result = calculateReplacement(request);
    if (const auto *sequence = std::get_if<QString>(&result)) {
        QTextStream(stdout) << *sequence << '\n';
        return 0;
    }
    // What is left (a code ending with the modifier ID) is a refusal of the input as well.
    QString message = std::get<ReplacementRefusal>(result).message;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return usageError(arguments, message);
}

} // namespace keytoner::cli
