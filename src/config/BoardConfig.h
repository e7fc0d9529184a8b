#pragma once

#include <QString>
#include <array>

namespace keytoner {

// The longest text each configuration field holds; longer texts from a file or from the board
// are cut to this length, as the window's fields cut them.
namespace FieldLength {
constexpr int Command = 10;
constexpr int ModifierId = 8;
constexpr int ChecksumId = 1;
constexpr int CallId = 6;
constexpr int MorseSpeed = 3;
constexpr int Timer = 3;
constexpr int Voltage = 4;
constexpr int ProgramPort = 2;
} // namespace FieldLength

constexpr int CommandCount = 16;
constexpr int OutputCount = 4;

// The board's configuration as the user edits it: the texts of the fields exactly as they stand
// (nothing validated or converted) and the power-on flags. Members carry the names of the
// window's controls they mirror. txtPrgComm, the programming port, travels only with files.
struct BoardConfig {
    std::array<QString, CommandCount> txtMem;
    QString txtSeqCmd;
    QString txtCrcTag;
    QString txtCallID;
    QString txtMorseSpeed;
    QString txtTmr2;
    QString txtBlo;
    QString txtBhi;
    std::array<bool, OutputCount> chkOutput{};
    bool chkMorse = false;
    bool chkBCheck = false;
    QString txtPrgComm;

    bool operator==(const BoardConfig &) const = default;
};

// What a CW call may hold: upper-case letters, decimal digits, blank and ":;<=>?@".
bool isCallSignCharacter(QChar c);

// The configuration as the window's fields would hold it: every text cut to its field's length.
BoardConfig fittedToFields(BoardConfig config);

} // namespace keytoner
