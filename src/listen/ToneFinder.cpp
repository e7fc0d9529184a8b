#include "ToneFinder.h"

#include <algorithm>
#include <numbers>

namespace keytoner {

namespace {

constexpr float Rise = 0.5f;
constexpr float Fall = 0.05f;
constexpr float AboveMedian = 10.0f; // 10 dB
constexpr float ToReplace = 2.0f;    // 3 dB
// A tone must also be heard at all: -80 dBFS (a sine of under 5 LSB of 16 bits). Against a
// median of nearly nothing, as in digital silence or the dither a live stream starts with,
// anything would stand out, and the Morse levels would start from a noise of zero.
constexpr float Quietest = 1e-8f;

} // namespace

ToneFinder::ToneFinder()
{
    for (int i = 0; i < Bins; ++i)
        bins_[static_cast<std::size_t>(i)] = Goertzel(LowestHz + SpacingHz * i, SampleRate);
}

bool ToneFinder::add(float sample)
{
    block_[filled_++] = sample;
    if (filled_ < block_.size())
        return false;
    filled_ = 0;
    std::array<float, Bins> power{};
    for (std::size_t i = 0; i < bins_.size(); ++i) {
        power[i] = bins_[i].power(block_.data(), block_.size());
        held_[i] += (power[i] > held_[i] ? Rise : Fall) * (power[i] - held_[i]);
    }
    // The median of exponentially distributed noise powers is ln 2 of their mean.
    std::nth_element(power.begin(), power.begin() + Bins / 2, power.end());
    noiseFloor_ = power[Bins / 2] / std::numbers::ln2_v<float>;
    return choose();
}

bool ToneFinder::choose()
{
    std::array<float, Bins> sorted = held_;
    std::nth_element(sorted.begin(), sorted.begin() + Bins / 2, sorted.end());
    const float median = sorted[Bins / 2];
    const auto strongest =
        static_cast<int>(std::max_element(held_.begin(), held_.end()) - held_.begin());
    const float peak = held_[static_cast<std::size_t>(strongest)];
    const float standsOut = std::max(median * AboveMedian, Quietest);
    present_ = tone_ >= 0 && held_[static_cast<std::size_t>(tone_)] >= standsOut;
    if (strongest == tone_ || peak < standsOut)
        return false;
    // A neighbour of the current tone is the same tone between two bins.
    if (tone_ >= 0 && (std::abs(strongest - tone_) <= 1 ||
                       peak < held_[static_cast<std::size_t>(tone_)] * ToReplace))
        return false;
    tone_ = strongest;
    present_ = true;
    return true;
}

} // namespace keytoner
