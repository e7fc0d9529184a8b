#pragma once

#include "Goertzel.h"
#include "ListenEvent.h"

#include <array>
#include <cstdint>
#include <vector>

namespace keytoner {

// The sixteen DTMF keys in 8000 Hz samples. A 16 ms window slides in 4 ms steps, short enough
// for 25 ms tones with 15 ms gaps; each window is tested as the telephone standards do (both
// groups present, twist, each tone well above the rest of its group, weak second harmonics),
// and against the rest of the spectrum: nothing may stand out of the noise floor beside the two
// tones, which is what tells speech and music from a key in noise. A key starts after three
// windows pass (one miss allowed) and lasts while its tones stay within 7 dB of their peak, so
// a gap between two equal keys ends the first one.
class DtmfDetector {
public:
    static constexpr int SampleRate = 8000;
    static constexpr int WindowSamples = 128;
    static constexpr int StepSamples = 32;
    static constexpr std::size_t SpectrumBins = 60;

    DtmfDetector();
    void process(const float *samples, std::size_t count, std::vector<ListenEvent> &out);
    // Whether a key sounded within `margin` seconds of `seconds` (among the last sixteen keys).
    bool keyAround(double seconds, double margin) const;

private:
    struct Analysis {
        int key = -1; // 0..15 row * 4 + column, -1 when no key passes
        int row = 0;
        int column = 0;
        float power = 0.0f; // of the two strongest tones
    };
    Analysis analyse() const;
    float standingOut(const float *window, std::size_t row, std::size_t column) const;
    void step(std::vector<ListenEvent> &out);

    std::array<Goertzel, 8> tones_;
    std::array<Goertzel, 8> harmonics_;
    std::array<Goertzel, SpectrumBins> spectrum_; // 62.5 Hz apart from 62.5 Hz
    std::array<float, 2 * WindowSamples> ring_{}; // doubled for a contiguous window
    std::size_t head_ = 0;
    int untilStep_ = StepSamples;
    std::int64_t samplesSeen_ = 0;

    int candidate_ = -1;
    int candidateSteps_ = 0;
    int candidateMisses_ = 0;
    std::int64_t candidateStart_ = 0;
    int active_ = -1;
    float activePeak_ = 0.0f;
    int activeMisses_ = 0;
    struct Span {
        double from = -1.0;
        double to = -1.0;
    };
    std::array<Span, 16> spans_{}; // of the last keys, in seconds
    std::size_t spanHead_ = 0;
};

} // namespace keytoner
