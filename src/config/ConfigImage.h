#pragma once

#include <array>
#include <cstdint>

namespace keytoner {

// The board's whole configuration as it stores it: 192 bytes.
constexpr int ConfigImageSize = 192;
using ConfigImage = std::array<std::uint8_t, ConfigImageSize>;

} // namespace keytoner
