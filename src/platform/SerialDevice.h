#pragma once

#include "PortBinding.h"

#include <QList>
#include <QString>
#include <optional>

namespace keytoner {

// The device behind port number n (1..16). On Windows "COMn". Elsewhere, as Wine's dosdevices
// do it, a file or link named "comn" in the program's folder (for example a link to
// /dev/ttyUSB0 or to a virtual board), or else the n-th standard port /dev/ttyS<n-1>.
QString serialDeviceName(int number, const QString &programFolder);

// The device port n means when the program folder has no comN: /dev/ttyS<n-1>, or COMn.
QString standardSerialDevice(int number);

// Whether numbers are bound through comN links (everywhere but Windows, whose numbers are the
// system's own).
bool portsBindByLink();

// The comN entries of the program folder, by number.
QList<ComBinding> readComBindings(const QString &programFolder);

// Makes comN a link to `target` (replacing an older link); the reason when it cannot. A comN
// that is a plain file is the user's own and is left alone.
std::optional<QString> bindComPort(const QString &programFolder, int number, const QString &target);
std::optional<QString> unbindComPort(const QString &programFolder, int number);

} // namespace keytoner
