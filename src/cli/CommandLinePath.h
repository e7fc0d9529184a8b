#pragma once

#include <QString>

namespace keytoner::cli {

// A file or folder named on the command line, relative to the current directory as every path
// there is; the serial port would take a relative name for one under /dev.
QString commandLinePath(const QString &path);

} // namespace keytoner::cli
