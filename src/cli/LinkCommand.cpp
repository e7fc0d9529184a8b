#include "Commands.h"

#include <QTextStream>

namespace keytoner::cli {

int runIdentify(const QStringList &arguments)
{
    QTextStream(stderr) << arguments.value(0) << ": not available yet\n";
    return 2;
}

int runRead(const QStringList &arguments)
{
    QTextStream(stderr) << arguments.value(0) << ": not available yet\n";
    return 2;
}

int runProgram(const QStringList &arguments)
{
    QTextStream(stderr) << arguments.value(0) << ": not available yet\n";
    return 2;
}

int runSimulate(const QStringList &arguments)
{
    QTextStream(stderr) << arguments.value(0) << ": not available yet\n";
    return 2;
}

} // namespace keytoner::cli
