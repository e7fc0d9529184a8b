#include "WaterfallRows.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace keytoner {

namespace {

// About 40 ms of signal per transform: bins of 25 to 50 Hz, fine enough to tell the DTMF
// tones apart, short enough to show a 25 ms digit.
constexpr int WindowsPerSecond = 40;
constexpr int RowsPerSecond = 50;

std::size_t powerOfTwoAtLeast(std::size_t n)
{
    std::size_t size = 64;
    while (size < n)
        size <<= 1;
    return size;
}

} // namespace

Spectrum::Spectrum(int sampleRate, int bands, double topHz)
    : sampleRate_(std::max(1, sampleRate)), bands_(std::max(1, bands)),
      topHz_(std::min(topHz, sampleRate_ / 2.0)),
      size_(powerOfTwoAtLeast(std::size_t(sampleRate_ / WindowsPerSecond))),
      hop_(std::max<std::size_t>(1, std::size_t(sampleRate_ / RowsPerSecond))), window_(size_),
      history_(size_, 0.0f), work_(size_)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < size_; ++i) {
        window_[i] =
            float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(size_)));
        sum += window_[i];
    }
    // A sine of amplitude A gives a peak of A * sum / 2; full scale is 32768.
    scale_ = float(2.0 / (sum * 32768.0));
}

void Spectrum::process(const int16_t *samples, std::size_t count,
                       std::vector<std::vector<float>> &rows)
{
    for (std::size_t i = 0; i < count; ++i) {
        history_[next_] = float(samples[i]);
        next_ = (next_ + 1) % size_;
        if (++sinceRow_ == hop_) {
            sinceRow_ = 0;
            rows.push_back(row());
        }
    }
}

std::vector<float> Spectrum::row()
{
    for (std::size_t i = 0; i < size_; ++i)
        work_[i] = {history_[(next_ + i) % size_] * window_[i], 0.0f};
    fft(work_);
    const double binHz = double(sampleRate_) / double(size_);
    const double bandHz = topHz_ / bands_;
    std::vector<float> levels(std::size_t(bands_), FloorDb);
    for (int band = 0; band < bands_; ++band) {
        // The bins nearest the band's two edges and all between: neighbouring bands may share
        // a bin, but no band is left without one.
        const auto first = std::size_t(band * bandHz / binHz + 0.5);
        const auto last = std::min(size_ / 2, std::size_t((band + 1) * bandHz / binHz + 0.5));
        float peak = 0.0f;
        for (std::size_t bin = first; bin <= last; ++bin)
            peak = std::max(peak, std::abs(work_[bin]));
        if (peak > 0.0f)
            levels[std::size_t(band)] = std::max(FloorDb, 20.0f * std::log10(peak * scale_));
    }
    return levels;
}

} // namespace keytoner
