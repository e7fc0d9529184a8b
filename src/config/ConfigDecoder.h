#pragma once

#include "BoardConfig.h"
#include "ConfigImage.h"

namespace keytoner {

// The fields that show an image read from the board. Never fails: unknown codes are skipped and
// every area is read within its bounds. Texts may exceed a field's length (a call area without
// its end mark gives seven characters); the fields cut them. A Morse timing byte of 0, which no
// speed gives, shows an empty speed. txtPrgComm is left empty: the image holds no port.
BoardConfig decodeConfigImage(const ConfigImage &image);

// A voltage byte as the field shows it: tenths of a volt with exactly one decimal ("12.5").
QString voltageText(std::uint8_t tenths);

} // namespace keytoner
