#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace keytoner {

inline constexpr double SampleRate = 8000.0;
inline constexpr double Amplitude = 10000.0;

// Sample counts of the three kinds of segment; each segment lasts its count plus one sample.
struct SampleCounts {
    int digit = 0;
    int gap = 0;
    int pause = 0;
};

// How a sequence string is laid out: every non-blank character takes a digit slot (silent when
// it is not a DTMF key), every blank a pause, and each pair of adjacent non-blanks a gap.
struct ToneLayout {
    qsizetype digits = 0;
    qsizetype blanks = 0;
    qsizetype adjacentPairs = 0;

    static ToneLayout of(const QString &sequence);
    qint64 totalSamples(const SampleCounts &counts) const;
};

// The whole sequence as 16-bit samples at 8000 Hz. Each sinusoid takes its phase from the
// sample's absolute index (counted from 1), so a tone does not restart at phase 0.
std::vector<int16_t> synthesiseSequence(const QString &sequence, const SampleCounts &counts);

// Duration in seconds -> sample count at 8000 Hz, rounded to nearest, halves to even.
int samplesFor(double seconds);

} // namespace keytoner
