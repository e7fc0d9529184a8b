#pragma once

#include "Goertzel.h"

#include <array>
#include <cstddef>

namespace keytoner {

// Finds the Morse tone between 300 and 1500 Hz: every 32 ms the power of 49 frequencies 25 Hz
// apart, held with a fast rise and a slow fall so that keyed tone stands out of flat noise.
// A tone is taken when its bin is well above the median; another one replaces it only when
// clearly stronger.
class ToneFinder {
public:
    static constexpr int SampleRate = 8000;
    static constexpr int BlockSamples = 256;
    static constexpr int Bins = 49;
    static constexpr double LowestHz = 300.0;
    static constexpr double SpacingHz = 25.0;

    ToneFinder();
    // True when this sample completed a block that chose a new tone.
    bool add(float sample);
    double frequencyHz() const { return LowestHz + SpacingHz * tone_; }
    bool found() const { return tone_ >= 0; }
    // Whether the tone still stands out (it fades from the held spectrum within about a second
    // of the last mark), so that noise alone keys nothing.
    bool present() const { return present_; }
    // The noise power per bin of the last block (its median bin, which a tone does not move),
    // on the scale of Goertzel::power over a block.
    float noiseFloor() const { return noiseFloor_; }

private:
    bool choose();

    std::array<Goertzel, Bins> bins_;
    std::array<float, Bins> held_{};
    std::array<float, BlockSamples> block_{};
    std::size_t filled_ = 0;
    int tone_ = -1;
    bool present_ = false;
    float noiseFloor_ = 0.0f;
};

} // namespace keytoner
