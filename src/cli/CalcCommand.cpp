#include "Commands.h"

#include <QTextStream>

namespace keytoner::cli {

int runCalc(const QStringList &arguments)
{
    QTextStream(stderr) << arguments.value(0) << ": not available yet\n";
    return 2;
}

} // namespace keytoner::cli
