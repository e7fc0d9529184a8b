#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCommandLineParser;

namespace keytoner::cli {

// What every command prints for --help and for mistakes on its command line. `arguments` is the
// command's line, whose first element names the command as called ("keytoner-cli wav").

// The parser's help, whose usage line names the command instead of the program's path.
QString helpText(const QCommandLineParser &parser, const QStringList &arguments);

// Adds --help and parses. Returns the exit status when the command stops here: 0 once the help
// is printed, 2 for a usage error (also when there are not `positionals` arguments, or up to
// `mostPositionals` when that is larger: the help, after `countProblem` when one is given);
// nothing when the command goes on.
std::optional<int> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                    qsizetype positionals, const QString &countProblem = {},
                                    qsizetype mostPositionals = -1);

// "<command>: problem" and the help on stderr; exit status 2.
int usageError(const QCommandLineParser &parser, const QStringList &arguments,
               const QString &problem);
// "<command>: message" on stderr; exit status 2.
int usageError(const QStringList &arguments, const QString &message);
// "<command>: message" on stderr; exit status 1.
int fail(const QStringList &arguments, const QString &message);

} // namespace keytoner::cli
