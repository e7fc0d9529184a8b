#pragma once

#include "config/ConfigImage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace keytoner::link {

// Commands to the board, each one two-byte write.
inline const QByteArray IdentifyCommand("\xFF\xCC", 2);
inline const QByteArray ReadCommand("\xFF\xAA", 2);
inline const QByteArray WriteHeader("\xFF\xFF", 2);
inline const QByteArray CloseCommand("\xFF\x99", 2);

constexpr std::uint8_t FrameStart = 0xFF;
constexpr std::uint8_t IdentityMark = 0xAA;
constexpr std::uint8_t DataMark = 0xFF;

// After a failed exchange this many single spaces, one write each, flush the board's input.
constexpr int FailureSpaceCount = 256;

// Timing of the exchanges, in milliseconds. Fixed, not derived from the line speed.
constexpr int IdentityWaitMs = 100;
constexpr int DataWaitMs = 768;
constexpr int ReadPauseMs = 200;
constexpr int HeaderPauseMs = 10;
constexpr int BlockPauseMs = 480;
constexpr int ReadBackPauseMs = 100;

constexpr int BlockCount = 4;
constexpr int BlockDataSize = 48;
constexpr int BlockSize = BlockDataSize + 1;

// The 8-bit sum of the bytes (the sum modulo 256).
std::uint8_t checksum(const QByteArray &bytes);
std::uint8_t checksum(const std::uint8_t *bytes, int count);

// The four write blocks of PROGRAM: 48 image bytes each, then their checksum.
std::array<QByteArray, BlockCount> writeBlocks(const ConfigImage &image);

// Whether an image byte may stand at a position of a data frame: positions 0 to 7 take any
// value, later ones only codes, texts below '[' and the marks 0x80 and 0xFF.
bool passesDataFilter(int position, std::uint8_t byte);

// The text the window shows for a port event (other than received data); prgCommText is the
// programming port's number as typed.
QString commEventText(int code, const QString &prgCommText);

} // namespace keytoner::link
