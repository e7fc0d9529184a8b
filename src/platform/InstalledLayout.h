#pragma once

#include <QString>

namespace keytoner {

// Whether the program in applicationDir is an installed copy rather than one unpacked or built
// in a folder of its own: it sits in a system program folder (/usr/bin, ...) or in a "bin"
// folder whose sibling share/keytoner holds the installed manual. An installed copy keeps its
// settings and comN links per user even when it could write its folder, as root can write
// /usr/bin: one user's settings there would be every user's, and the package manager owns it.
bool isInstalledProgramDir(const QString &applicationDir);

} // namespace keytoner
