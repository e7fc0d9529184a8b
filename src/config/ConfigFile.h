#pragma once

#include "BoardConfig.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace keytoner {

// The items of a configuration file, in the order they are written and read.
namespace ConfigItem {
constexpr int FirstOutput = 0; // chkOutput(0..3)
constexpr int ModifierId = 4;
constexpr int ChecksumId = 5;
constexpr int MorseFlag = 6;
constexpr int MorseSpeed = 7;
constexpr int CallId = 8;
constexpr int Timer = 9;
constexpr int BatteryCheckFlag = 10;
constexpr int BatteryLow = 11;
constexpr int BatteryHigh = 12;
constexpr int FirstCommand = 13; // txtMem(0..15)
constexpr int ProgramPort = 29;
constexpr int Count = 30;
} // namespace ConfigItem

// What reading a configuration file gave: the items before the first failure are in `config`
// (the rest keep their defaults), `itemsRead` counts them, and `failure` says what stopped the
// reading. Items after the last one are ignored.
struct ConfigFileRead {
    BoardConfig config;
    int itemsRead = 0;
    QString failure;

    bool complete() const { return itemsRead == ConfigItem::Count; }
};

// The 22 lines of a configuration file, CR LF ended, texts quoted as they stand, flags as 0 or
// 1, in Latin-1.
QByteArray writeConfigFile(const BoardConfig &config);

// Reads the file's bytes (Latin-1) as a stream of comma-separated items, whatever their
// arrangement over lines. A flag item other than 0 or 1 stops the reading.
ConfigFileRead readConfigFile(const QByteArray &bytes);

// readConfigFile on the first MiB of a file; a file that cannot be opened or read reads no item.
ConfigFileRead loadConfigFile(const QString &path);

// Why the configuration cannot be written so that it reads back as it stands: a text holding a
// double quote (it would end its item), a line end, or a character outside Latin-1. Nothing when
// every text can be written.
std::optional<QString> unwritableConfigText(const BoardConfig &config);

// Writes the file atomically: either the whole new file replaces the old one, or the old one
// stays exactly as it was. A configuration that unwritableConfigText refuses is not written.
// Returns the failure's description.
std::optional<QString> saveConfigFile(const QString &path, const BoardConfig &config);

// Name of an item for messages ("command 5").
QString configItemName(int item);

} // namespace keytoner
