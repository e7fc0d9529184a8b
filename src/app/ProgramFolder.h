#pragma once

#include <QString>

namespace keytoner {

// The folder of Keytoner2.ini, Default.prg and the file dialogs: the program's own directory
// when the user may write there and it is not an installed copy (isInstalledProgramDir),
// otherwise the per-user folder, which is created when missing, so that settings are never
// silently lost.
QString chooseProgramFolder(const QString &applicationDir, const QString &userFolder);

// chooseProgramFolder for the running program and user.
QString programFolder();

} // namespace keytoner
