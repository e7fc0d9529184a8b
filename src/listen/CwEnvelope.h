#pragma once

#include <array>
#include <complex>
#include <cstddef>

namespace keytoner {

// Keyed or not, every 2 ms: the input mixed down from the tone frequency, summed over 2 ms
// (a 500 Hz wide filter, so a tone a few tens of Hz off loses nothing), its power averaged over
// a span that follows the dit length, and compared with a threshold halfway between the
// tracked noise and signal powers (halfway in power keeps mark lengths unbiased). Nothing is
// keyed while the signal is not clearly above the noise.
class CwEnvelope {
public:
    static constexpr int SampleRate = 8000;
    static constexpr int DumpSamples = 16;
    static constexpr double DumpMs = 2.0;
    static constexpr std::size_t MaxSpan = 16;
    // 6 ms: even the fastest dit (8 ms) keeps its shape, and a single 2 ms step of noise does
    // not cut a mark.
    static constexpr std::size_t MinSpan = 3;

    void setFrequency(double hz);
    // Averages over about half a dit.
    void setDitMs(double ditMs);
    // True when this sample completed a 2 ms step; keyed() then tells its state.
    bool add(float sample);
    // Keys nothing while the tone is not there.
    void setPresent(bool present) { present_ = present; }
    // Forgets the levels, for a new tone. The noise starts from the tone finder's noise floor
    // (a Goertzel power over blocks of `floorBlockSamples`), so that a stream that begins with
    // the tone does not take the tone for noise.
    void restart(float noiseFloor, int floorBlockSamples);
    bool keyed() const { return keyed_; }

private:
    void decide(float power);

    std::complex<float> rotation_{1.0f, 0.0f};
    std::complex<float> oscillator_{1.0f, 0.0f};
    std::complex<float> sum_{};
    int summed_ = 0;
    std::array<float, MaxSpan> powers_{};
    std::size_t powersHead_ = 0;
    std::size_t span_ = 4;
    std::size_t used_ = 0; // of the span, while it grows
    float signal_ = 0.0f;
    float noise_ = 0.0f;
    bool keyed_ = false;
    bool present_ = true;
};

} // namespace keytoner
