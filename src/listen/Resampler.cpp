#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace keytoner {

namespace {

constexpr double CutoffHz = 3500.0;
constexpr double TransitionHz = 900.0;

std::vector<float> lowPassTaps(int rate)
{
    if (rate <= Resampler::OutputRate)
        return {1.0f};
    // Hamming window: transition width about 3.3 / N of the rate.
    const int count = static_cast<int>(std::ceil(3.3 * rate / TransitionHz)) | 1;
    const double cutoff = CutoffHz / rate;
    std::vector<float> taps(static_cast<std::size_t>(count));
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const double x = i - (count - 1) / 2.0;
        const double sinc =
            x == 0.0 ? 2.0 * cutoff
                     : std::sin(2.0 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
        const double window = 0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * i / (count - 1));
        taps[static_cast<std::size_t>(i)] = static_cast<float>(sinc * window);
        sum += sinc * window;
    }
    for (float &tap : taps)
        tap = static_cast<float>(tap / sum);
    return taps;
}

} // namespace

Resampler::Resampler(int inputRate)
    : taps_(lowPassTaps(std::max(1, inputRate))), history_(2 * taps_.size(), 0.0f),
      step_(static_cast<double>(std::max(1, inputRate)) / OutputRate)
{
}

float Resampler::filtered() const
{
    const float *window = history_.data() + head_;
    float sum = 0.0f;
    for (std::size_t i = 0; i < taps_.size(); ++i)
        sum += window[i] * taps_[i];
    return sum;
}

void Resampler::process(const int16_t *samples, std::size_t count, std::vector<float> &out)
{
    const std::size_t size = taps_.size();
    for (std::size_t n = 0; n < count; ++n) {
        const float value = samples[n] / 32768.0f;
        head_ = (head_ + size - 1) % size;
        history_[head_] = value;
        history_[head_ + size] = value;
        // An output due in (newest - 1, newest] lies between the filtered values of the two
        // newest inputs; the filter runs only for inputs next to an output.
        position_ -= 1.0;
        if (position_ > 1.0)
            continue;
        const float current = filtered();
        for (; position_ <= 0.0; position_ += step_)
            out.push_back(previous_ + (current - previous_) * static_cast<float>(position_ + 1.0));
        previous_ = current;
    }
}

} // namespace keytoner
