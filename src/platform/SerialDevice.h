#pragma once

#include <QString>

namespace keytoner {

// The device behind port number n (1..16). On Windows "COMn". Elsewhere, as Wine's dosdevices
// do it, a file or link named "comn" in the program's folder (for example a link to
// /dev/ttyUSB0 or to a virtual board), or else the n-th standard port /dev/ttyS<n-1>.
QString serialDeviceName(int number, const QString &programFolder);

} // namespace keytoner
