#include "DtmfDetector.h"

#include <algorithm>

namespace keytoner {

namespace {

constexpr std::array<double, 8> kFrequencies{697, 770, 852, 941, 1209, 1336, 1477, 1633};
constexpr char kKeys[] = "123A456B789C*0#D";

// Thresholds as power ratios.
constexpr float kMinimumPower = 2e-6f;  // about -57 dBFS per tone
constexpr float kTwist = 6.3f;          // 8 dB either way
constexpr float kOtherInGroup = 0.25f;  // the rest of a group at least 6 dB down
constexpr float kShareOfWindow = 0.25f; // the two tones carry a quarter of the power
constexpr float kSecondHarmonic = 0.3f; // second harmonics at least 5 dB down
constexpr float kHoldFromPeak = 0.2f;   // a key lasts while within 7 dB of its peak
constexpr int kStepsToStart = 3;
constexpr int kMissesToEnd = 2;

} // namespace

DtmfDetector::DtmfDetector()
{
    for (std::size_t i = 0; i < kFrequencies.size(); ++i) {
        tones_[i] = Goertzel(kFrequencies[i], SampleRate);
        harmonics_[i] = Goertzel(2.0 * kFrequencies[i], SampleRate);
    }
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
    const float rowPower = power[static_cast<std::size_t>(result.row)];
    const float columnPower = power[static_cast<std::size_t>(result.column)];
    result.power = rowPower + columnPower;
    if (rowPower < kMinimumPower || columnPower < kMinimumPower)
        return result;
    if (columnPower > rowPower * kTwist || rowPower > columnPower * kTwist)
        return result;
    for (int i = 0; i < 8; ++i) {
        const bool inRows = i < 4;
        const int strongest = inRows ? result.row : result.column;
        if (i != strongest && power[static_cast<std::size_t>(i)] >
                                  power[static_cast<std::size_t>(strongest)] * kOtherInGroup)
            return result;
    }
    float total = 0.0f;
    for (int n = 0; n < WindowSamples; ++n)
        total += window[n] * window[n];
    total /= WindowSamples;
    if (result.power < total * kShareOfWindow)
        return result;
    for (const int tone : {result.row, result.column}) {
        const auto i = static_cast<std::size_t>(tone);
        if (harmonics_[i].power(window, WindowSamples) > power[i] * kSecondHarmonic)
            return result;
    }
    result.key = result.row * 4 + (result.column - 4);
    return result;
}

void DtmfDetector::step(std::vector<ListenEvent> &out)
{
    const Analysis analysis = analyse();
    const std::int64_t windowStart = samplesSeen_ - WindowSamples;

    if (active_ >= 0) {
        const bool held = analysis.row * 4 + (analysis.column - 4) == active_ &&
                          analysis.power >= activePeak_ * kHoldFromPeak;
        if (held) {
            activePeak_ = std::max(activePeak_, analysis.power);
            activeMisses_ = 0;
        } else if (++activeMisses_ >= kMissesToEnd) {
            active_ = -1;
        }
        // A different key may start while the old one fades.
        if (active_ >= 0 && analysis.key == active_)
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
        candidateStart_ = windowStart;
    }
    if (++candidateSteps_ < kStepsToStart)
        return;
    active_ = candidate_;
    activePeak_ = analysis.power;
    activeMisses_ = 0;
    candidate_ = -1;
    candidateSteps_ = 0;
    out.push_back({ListenEvent::Kind::Dtmf,
                   static_cast<double>(std::max<std::int64_t>(0, candidateStart_)) / SampleRate,
                   std::string(1, kKeys[active_])});
}

} // namespace keytoner
