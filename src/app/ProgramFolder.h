#pragma once

#include <QString>

namespace keytoner {

// The folder of Keytoner2.ini, Default.prg and the file dialogs: the program's own directory
// when the user may write there, otherwise the per-user folder (an installed program), which
// is created when missing, so that settings are never silently lost.
QString chooseProgramFolder(const QString &applicationDir, const QString &userFolder);

// chooseProgramFolder for the running program and user.
QString programFolder();

} // namespace keytoner
