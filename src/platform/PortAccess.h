#pragma once

#include "PortBinding.h"

#include <QString>

namespace keytoner {

// Asks the system why `device` (a device path or a link to one) did not open: whether it is
// there, whether this user may open it and through which group, and which processes hold it.
// `systemError` is the open call's own description, kept for reasons not found here.
PortAccessFacts probePortAccess(const QString &device, const QString &systemError);

} // namespace keytoner
