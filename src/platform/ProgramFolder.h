#pragma once

#include <QString>

namespace keytoner {

// Whether choosing the per-user folder also makes it. The window writes its settings there, so it
// makes the folder; keytoner-cli only reads comN links from it and leaves no folder behind.
enum class UserFolder { Create, LeaveMissing };

// The folder of Keytoner2.ini, Default.prg, the file dialogs and the comN links: the program's
// own directory when the user may write there and it is not an installed copy
// (isInstalledProgramDir), otherwise userFolder.
QString programFolderFor(const QString &applicationDir, const QString &userFolder);

// programFolderFor, making userFolder when it is chosen and missing, so that settings are never
// silently lost.
QString chooseProgramFolder(const QString &applicationDir, const QString &userFolder);

// The per-user folder, ~/.config/Keytoner, the same for the window and for keytoner-cli.
QString userProgramFolder();

// The program folder of the running program (keytoner and keytoner-cli are installed side by
// side, so both find the same one).
QString programFolder(UserFolder creation);

} // namespace keytoner
