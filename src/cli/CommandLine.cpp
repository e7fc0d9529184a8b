#include "CommandLine.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <algorithm>

namespace keytoner::cli {

QString helpText(const QCommandLineParser &parser, const QStringList &arguments)
{
    // QCommandLineParser puts the path the program was started by between these two.
    static const QLatin1String usage("Usage: ");
    QString text = parser.helpText();
    const qsizetype end = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(usage) && end > usage.size())
        text.replace(usage.size(), end - usage.size(), arguments.value(0));
    return text;
}

std::optional<int> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                    qsizetype positionals, const QString &countProblem,
                                    qsizetype mostPositionals)
{
    parser.addHelpOption();
    if (!parser.parse(arguments))
        return usageError(parser, arguments, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << helpText(parser, arguments);
        return 0;
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given >= positionals && given <= std::max(positionals, mostPositionals))
        return std::nullopt;
    if (!countProblem.isEmpty())
        return usageError(parser, arguments, countProblem);
    QTextStream(stderr) << helpText(parser, arguments);
    return 2;
}

int usageError(const QCommandLineParser &parser, const QStringList &arguments,
               const QString &problem)
{
    QTextStream(stderr) << arguments.value(0) << ": " << problem << "\n\n"
                        << helpText(parser, arguments);
    return 2;
}

int usageError(const QStringList &arguments, const QString &message)
{
    QTextStream(stderr) << arguments.value(0) << ": " << message << '\n';
    return 2;
}

int fail(const QStringList &arguments, const QString &message)
{
    QTextStream(stderr) << arguments.value(0) << ": " << message << '\n';
    return 1;
}

} // namespace keytoner::cli
