#include "DtmfDetector.h"

#include <algorithm>
#include <cmath>

namespace keytoner {

namespace {

constexpr std::array<double, 8> Frequencies{697, 770, 852, 941, 1209, 1336, 1477, 1633};
constexpr char KeyLetters[] = "123A456B789C*0#D";

// Thresholds as power ratios.
constexpr float MinimumPower = 2e-6f;        // about -57 dBFS per tone
constexpr float Twist = 6.3f;                // 8 dB either way
constexpr float OtherInGroup = 0.5f;         // the rest of a group at least 3 dB down
constexpr float ShareOfWindow = 0.1f;        // the two tones carry a tenth of the power
constexpr float SecondHarmonic = 0.6f;       // second harmonics at least 2 dB down
constexpr double HarmonicNearColumn = 100.0; // Hz: that harmonic is not told from the column
// The spectrum away from the two tones: whatever stands more than 6 dB out of its median (the
// noise floor) counts against the tones, which must keep 90 % of the sum. White noise leaves
// almost nothing standing; speech and music always do.
constexpr double SpectrumStepHz = 62.5;
constexpr double AroundTone = 160.0;
constexpr float AboveFloor = 8.0f;
constexpr float TonalShare = 0.9f;
constexpr float HoldFromPeak = 0.2f; // a key lasts while within 7 dB of its peak
constexpr int StepsToStart = 3;
constexpr int MissesToEnd = 2;
constexpr int MissesInStart = 1;

} // namespace

DtmfDetector::DtmfDetector()
{
    for (std::size_t i = 0; i < Frequencies.size(); ++i) {
        tones_[i] = Goertzel(Frequencies[i], SampleRate);
        harmonics_[i] = Goertzel(2.0 * Frequencies[i], SampleRate);
    }
    for (std::size_t k = 0; k < spectrum_.size(); ++k)
        spectrum_[k] = Goertzel(SpectrumStepHz * static_cast<double>(k + 1), SampleRate);
}

void DtmfDetector::process(const float *samples, std::size_t count, std::vector<ListenEvent> &out)
{
    for (std::size_t n = 0; n < count; ++n) {
        ring_[head_] = samples[n];
        ring_[head_ + WindowSamples] = samples[n];
        head_ = (head_ + 1) % WindowSamples;
        ++samplesSeen_;
        if (--untilStep_ == 0) {
            untilStep_ = StepSamples;
            step(out);
        }
    }
}

DtmfDetector::Analysis DtmfDetector::analyse() const
{
    const float *window = ring_.data() + head_; // oldest first
    std::array<float, 8> power{};
    for (std::size_t i = 0; i < power.size(); ++i)
        power[i] = tones_[i].power(window, WindowSamples);
    Analysis result;
    result.row =
        static_cast<int>(std::max_element(power.begin(), power.begin() + 4) - power.begin());
    result.column =
        static_cast<int>(std::max_element(power.begin() + 4, power.end()) - power.begin());
    const auto row = static_cast<std::size_t>(result.row);
    const auto column = static_cast<std::size_t>(result.column);
    result.power = power[row] + power[column];
    if (power[row] < MinimumPower || power[column] < MinimumPower)
        return result;
    if (power[column] > power[row] * Twist || power[row] > power[column] * Twist)
        return result;
    for (std::size_t i = 0; i < power.size(); ++i) {
        const std::size_t strongest = i < 4 ? row : column;
        if (i != strongest && power[i] > power[strongest] * OtherInGroup)
            return result;
    }
    float total = 0.0f;
    for (int n = 0; n < WindowSamples; ++n)
        total += window[n] * window[n];
    if (result.power < total / WindowSamples * ShareOfWindow)
        return result;
    for (const std::size_t i : {row, column}) {
        if (std::abs(2.0 * Frequencies[i] - Frequencies[column]) < HarmonicNearColumn)
            continue;
        if (harmonics_[i].power(window, WindowSamples) > power[i] * SecondHarmonic)
            return result;
    }
    if (result.power < TonalShare * (result.power + standingOut(window, row, column)))
        return result;
    result.key = result.row * 4 + (result.column - 4);
    return result;
}

float DtmfDetector::standingOut(const float *window, std::size_t row, std::size_t column) const
{
    std::array<float, SpectrumBins> others{};
    std::size_t count = 0;
    for (std::size_t k = 0; k < spectrum_.size(); ++k) {
        const double hz = SpectrumStepHz * static_cast<double>(k + 1);
        if (std::abs(hz - Frequencies[row]) < AroundTone ||
            std::abs(hz - Frequencies[column]) < AroundTone)
            continue;
        others[count++] = spectrum_[k].power(window, WindowSamples);
    }
    const auto middle = others.begin() + static_cast<std::ptrdiff_t>(count / 2);
    std::nth_element(others.begin(), middle, others.begin() + static_cast<std::ptrdiff_t>(count));
    const float floor = *middle;
    float standing = 0.0f;
    for (std::size_t k = 0; k < count; ++k)
        standing += std::max(0.0f, others[k] - AboveFloor * floor);
    return standing;
}

bool DtmfDetector::keyAround(double seconds, double margin) const
{
    for (const Span &span : spans_) {
        if (span.to >= 0.0 && seconds >= span.from - margin && seconds <= span.to + margin)
            return true;
    }
    return false;
}

void DtmfDetector::step(std::vector<ListenEvent> &out)
{
    const Analysis analysis = analyse();
    const std::int64_t windowStart = samplesSeen_ - WindowSamples;

    if (active_ >= 0) {
        const bool held = analysis.row * 4 + (analysis.column - 4) == active_ &&
                          analysis.power >= activePeak_ * HoldFromPeak;
        if (held) {
            activePeak_ = std::max(activePeak_, analysis.power);
            activeMisses_ = 0;
            spans_[spanHead_].to = static_cast<double>(samplesSeen_) / SampleRate;
        } else if (++activeMisses_ >= MissesToEnd) {
            active_ = -1;
        }
        // A different key may start while the old one fades.
        if (active_ >= 0 && analysis.key == active_)
            return;
    }

    // In noise a window of a real key fails a check now and then: one such window, with the
    // same two tones strongest, does not break a start.
    const int strongestPair = analysis.row * 4 + (analysis.column - 4);
    if (analysis.key < 0 && strongestPair == candidate_ && candidateMisses_ < MissesInStart) {
        ++candidateMisses_;
        return;
    }
    if (analysis.key < 0 || analysis.key == active_) {
        candidate_ = -1;
        candidateSteps_ = 0;
        return;
    }
    if (analysis.key != candidate_) {
        candidate_ = analysis.key;
        candidateSteps_ = 0;
        candidateMisses_ = 0;
        candidateStart_ = windowStart;
    }
    if (++candidateSteps_ < StepsToStart)
        return;
    active_ = candidate_;
    activePeak_ = analysis.power;
    spanHead_ = (spanHead_ + 1) % spans_.size();
    spans_[spanHead_] = {static_cast<double>(candidateStart_) / SampleRate,
                         static_cast<double>(samplesSeen_) / SampleRate};
    activeMisses_ = 0;
    candidate_ = -1;
    candidateSteps_ = 0;
    out.push_back({ListenEvent::Kind::Dtmf,
                   static_cast<double>(std::max<std::int64_t>(0, candidateStart_)) / SampleRate,
                   std::string(1, KeyLetters[active_])});
}

} // namespace keytoner
