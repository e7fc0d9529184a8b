#pragma once

#include <QString>

namespace keytoner::cli {

// The folder where the window looks for its comN links: the folder of the keytoner program,
// installed beside keytoner-cli, when it may be written and is not an installed copy
// (isInstalledProgramDir); otherwise the per-user folder that the window then uses
// (~/.config/Keytoner).
QString programFolder();

// A file or folder named on the command line, relative to the current directory as every path
// there is; the serial port would take a relative name for one under /dev.
QString commandLinePath(const QString &path);

} // namespace keytoner::cli
