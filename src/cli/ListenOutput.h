#pragma once

#include "listen/ListenEvent.h"

#include <QString>

namespace keytoner::cli {

// One line per event: "12.345 dtmf 5", or as a JSON object
// {"time":12.345,"kind":"cw","text":" CQ"}.
QString eventLine(const ListenEvent &event, bool json);

} // namespace keytoner::cli
