#pragma once

#include "CwEnvelope.h"
#include "ListenEvent.h"
#include "MorseTiming.h"
#include "ToneFinder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace keytoner {

// Morse in 8000 Hz samples: finds the tone, keys on its envelope and reads the timing. The
// last 128 ms are kept so that the first tone found is also heard from its start (the finder
// needs a block or two to be sure of it).
class CwDecoder {
public:
    void process(const float *samples, std::size_t count, std::vector<ListenEvent> &out);
    void flush(std::vector<ListenEvent> &out);

private:
    void envelopeStep(float sample, std::vector<ListenEvent> &out);
    bool replay(std::vector<ListenEvent> &out);

    ToneFinder finder_;
    CwEnvelope envelope_;
    MorseTiming timing_;
    std::array<float, 1024> recent_{};
    std::size_t recentHead_ = 0;
    std::int64_t envelopeSamples_ = 0;
    std::int64_t samplesSeen_ = 0;
};

} // namespace keytoner
