#pragma once

#include <array>
#include <cstdint>

namespace keytoner {

// The board's whole configuration as it stores it: 192 bytes.
constexpr int ConfigImageSize = 192;
using ConfigImage = std::array<std::uint8_t, ConfigImageSize>;

// Where each part of the configuration lives in the image.
namespace ImageLayout {
constexpr int Flags = 0;
constexpr int ChecksumId = 1;
constexpr int MorseTiming = 2;
constexpr int Timer = 3;
constexpr int BatteryLow = 4;
constexpr int BatteryHigh = 5;
constexpr int Commands = 8; // command i occupies Commands + CommandSize * i
constexpr int CommandSize = 10;
constexpr int ModifierId = 176;
constexpr int ModifierSize = 9; // eight digits and the end mark
constexpr int CallId = 185;
constexpr int CallSize = 7; // six characters and the end mark

constexpr std::uint8_t OutputFlag(int output)
{
    return std::uint8_t(1u << output);
}
constexpr std::uint8_t BatteryCheckFlag = 0x10;
constexpr std::uint8_t MorseFlag = 0x80;

constexpr std::uint8_t SequenceEnd = 0x80;
constexpr std::uint8_t CallEnd = 0x00;
constexpr std::uint8_t Unused = 0xFF;
} // namespace ImageLayout

// Morse timing byte = MorseTimingBase / speed in words per minute.
constexpr double MorseTimingBase = 1190.0;

} // namespace keytoner
