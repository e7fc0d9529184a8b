#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace keytoner {

// DTMF frequencies in Hz: row = key index (0-9, A-D, *, #), column 0 low group, 1 high group.
using ToneTableType = std::array<std::array<int16_t, 2>, 16>;

void FillToneTable(ToneTableType &table);

// The table as FillToneTable leaves it; filled once, never changes.
const ToneTableType &toneTable();

// Row of the table for a key character, or -1 for anything that is not a DTMF key (blanks,
// lower-case letters, line breaks...).
int toneRow(QChar key);

// Frequencies of the first character of `key`; 0.0 for a non-key or an empty text.
double FreqLow(const QString &key);
double FreqHigh(const QString &key);
double FreqLow(QChar key);
double FreqHigh(QChar key);

} // namespace keytoner
