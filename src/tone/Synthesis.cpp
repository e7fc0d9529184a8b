#include "Synthesis.h"

#include "ToneTable.h"
#include "common/NumberText.h"

#include <cmath>

namespace keytoner {

namespace {

// Written with these decimals on purpose: the samples must match the reference bit for bit.
constexpr double TwoPi = 6.28318530717958;

bool isBlank(QChar c)
{
    return c == u' ';
}

// Halves to even; nearbyint does that in the default rounding mode, which nothing here changes.
int nearest(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

// Walks the string segment by segment, as the player lays it out.
class SegmentWalker {
public:
    SegmentWalker(const QString &sequence, const SampleCounts &counts)
        : text_(sequence), counts_(counts)
    {
    }

    // Starts the segment that begins at sample index j; returns its last index.
    qint64 begin(qint64 j)
    {
        const QChar current = at(p_);
        if (isBlank(current))
            tone_ = false;
        wL_ = FreqLow(current) * TwoPi / SampleRate;
        wH_ = FreqHigh(current) * TwoPi / SampleRate;
        if (!tone_)
            ++p_;
        const QChar consumed = at(p_ - 1);
        if (isBlank(consumed))
            return j + counts_.pause;
        if (tone_) {
            tone_ = false;
            wL_ = wH_ = 0.0;
            return j + counts_.gap;
        }
        tone_ = true;
        return j + counts_.digit;
    }

    int16_t sample(qint64 j) const
    {
        const double x = static_cast<double>(j);
        return static_cast<int16_t>(nearest(Amplitude * std::sin(x * wL_)) +
                                    nearest(Amplitude * std::sin(x * wH_)));
    }

private:
    // Character at 1-based position p; a position past the end reads as a silent slot.
    QChar at(qsizetype p) const { return p >= 1 && p <= text_.size() ? text_.at(p - 1) : QChar(); }

    const QString &text_;
    SampleCounts counts_;
    qsizetype p_ = 1;
    bool tone_ = false;
    double wL_ = 0.0;
    double wH_ = 0.0;
};

} // namespace

ToneLayout ToneLayout::of(const QString &sequence)
{
    ToneLayout layout;
    for (qsizetype i = 0; i < sequence.size(); ++i) {
        if (isBlank(sequence.at(i))) {
            ++layout.blanks;
            continue;
        }
        ++layout.digits;
        if (i + 1 < sequence.size() && !isBlank(sequence.at(i + 1)))
            ++layout.adjacentPairs;
    }
    return layout;
}

qint64 ToneLayout::totalSamples(const SampleCounts &counts) const
{
    return (qint64(counts.digit) + 1) * digits + (qint64(counts.pause) + 1) * blanks +
           (qint64(counts.gap) + 1) * adjacentPairs;
}

std::vector<int16_t> synthesiseSequence(const QString &sequence, const SampleCounts &counts)
{
    const qint64 total = ToneLayout::of(sequence).totalSamples(counts);
    std::vector<int16_t> samples(static_cast<size_t>(std::max<qint64>(total, 0)));
    SegmentWalker walker(sequence, counts);
    qint64 end = 0;
    for (qint64 j = 1; j <= total; ++j) {
        if (j > end)
            end = walker.begin(j);
        samples[static_cast<size_t>(j - 1)] = walker.sample(j);
    }
    return samples;
}

int samplesFor(double seconds)
{
    return static_cast<int>(roundHalfEven(seconds * SampleRate));
}

} // namespace keytoner
