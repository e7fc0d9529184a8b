#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace keytoner {

// Levels of the audio band from 0 Hz to `topHz`, in equal bands, for a scrolling spectrum
// picture: one row per hop (about 50 rows a second at any sample rate). Each value is the
// level of the strongest component in its band in dB below full scale (a full-scale sine
// reads 0), never below FloorDb.
class Spectrum {
public:
    static constexpr float FloorDb = -120.0f;

    Spectrum(int sampleRate, int bands = 120, double topHz = 3000.0);

    // Appends the rows completed by these samples to `rows`.
    void process(const int16_t *samples, std::size_t count, std::vector<std::vector<float>> &rows);

    int bands() const { return bands_; }
    double topHz() const { return topHz_; }
    // Rows per second (the picture's time scale).
    double rowsPerSecond() const { return double(sampleRate_) / double(hop_); }

private:
    std::vector<float> row();

    int sampleRate_;
    int bands_;
    double topHz_;
    std::size_t size_; // FFT length
    std::size_t hop_;
    std::vector<float> window_;
    float scale_;                // |X| to full-scale amplitude
    std::vector<float> history_; // the last size_ samples, a ring; next_ is the oldest
    std::size_t next_ = 0;
    std::size_t sinceRow_ = 0;
    std::vector<std::complex<float>> work_;
};

} // namespace keytoner
