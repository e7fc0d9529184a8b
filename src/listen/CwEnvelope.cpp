#include "CwEnvelope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace keytoner {

namespace {

constexpr float KeyOnAt = 0.55f; // of the way from noise to signal
constexpr float KeyOffAt = 0.45f;
constexpr float Squelch = 4.65f; // signal 6.7 dB over the noise (averaged over 8 steps or more)
constexpr float SignalRise = 0.05f;
constexpr float SignalTrack = 0.02f;
constexpr float SignalDecay = 0.9995f; // about 4 s
constexpr float NoiseFall = 0.1f;
constexpr float NoiseTrack = 0.01f;
// Only steps well below the threshold are noise: the edges of marks and marks kept under the
// squelch would otherwise lift the noise towards the signal.
constexpr float NoiseBand = 0.3f;

} // namespace

void CwEnvelope::setFrequency(double hz)
{
    const double step = -2.0 * std::numbers::pi * hz / SampleRate;
    rotation_ = {static_cast<float>(std::cos(step)), static_cast<float>(std::sin(step))};
}

void CwEnvelope::setDitMs(double ditMs)
{
    span_ = std::clamp<std::size_t>(static_cast<std::size_t>(std::lround(0.5 * ditMs / DumpMs)),
                                    MinSpan, MaxSpan);
    // A longer span grows forward, one step at a time: reaching back at once would bring a
    // mark that has just ended back into the average and key it again.
    used_ = std::min(used_, span_);
}

void CwEnvelope::restart(float noiseFloor, int floorBlockSamples)
{
    sum_ = {};
    summed_ = 0;
    powers_.fill(0.0f);
    used_ = 0;
    signal_ = 0.0f;
    // Goertzel powers of white noise scale as 1 / block length.
    noise_ = noiseFloor * static_cast<float>(floorBlockSamples) / DumpSamples;
    keyed_ = false;
}

bool CwEnvelope::add(float sample)
{
    sum_ += sample * oscillator_;
    oscillator_ *= rotation_;
    if (++summed_ < DumpSamples)
        return false;
    oscillator_ /= std::abs(oscillator_);
    const float power = 2.0f * std::norm(sum_) / (DumpSamples * DumpSamples);
    sum_ = {};
    summed_ = 0;
    powers_[powersHead_] = power;
    powersHead_ = (powersHead_ + 1) % MaxSpan;
    used_ = std::min(used_ + 1, span_);
    float average = 0.0f;
    for (std::size_t i = 1; i <= used_; ++i)
        average += powers_[(powersHead_ + MaxSpan - i) % MaxSpan];
    decide(average / static_cast<float>(used_));
    return true;
}

void CwEnvelope::decide(float power)
{
    // A slow rise keeps noise peaks from passing for the signal; a first mark far above
    // anything heard before lifts it at once to half its power.
    if (power > 2.0f * signal_)
        signal_ = std::max(signal_ + SignalRise * (power - signal_), 0.5f * power);
    else if (power > signal_)
        signal_ += SignalRise * (power - signal_);
    else if (keyed_)
        signal_ += SignalTrack * (power - signal_);
    else
        signal_ *= SignalDecay;
    // The noise is the mean between marks; it follows a drop at once only when far below.
    if (power < 0.25f * noise_)
        noise_ += NoiseFall * (power - noise_);
    else if (!keyed_ && power < noise_ + NoiseBand * (signal_ - noise_))
        noise_ += NoiseTrack * (power - noise_);

    const float range = signal_ - noise_;
    // Averaged over fewer steps, noise alone peaks higher: ask more of the signal then.
    const float squelch =
        Squelch *
        std::max(1.0f, std::sqrt(8.0f / static_cast<float>(std::max<std::size_t>(used_, 1))));
    if (!present_ || signal_ < noise_ * squelch)
        keyed_ = false;
    else if (keyed_)
        keyed_ = power > noise_ + KeyOffAt * range;
    else
        keyed_ = power > noise_ + KeyOnAt * range;
}

} // namespace keytoner
