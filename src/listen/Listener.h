#pragma once

#include "ListenEvent.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace keytoner {

class Resampler;
class DtmfDetector;
class CwDecoder;

// Turns a stream of 16-bit mono samples at any rate into DTMF keys and Morse text. Feed it one
// block at a time; events are appended to `out` as soon as they are certain. With both kinds on,
// what the Morse decoder reads while a DTMF key sounds is dropped (it is that key's tones).
class Listener {
public:
    explicit Listener(int sampleRate, bool dtmf = true, bool cw = true);
    ~Listener();
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    void process(const int16_t *samples, std::size_t count, std::vector<ListenEvent> &out);
    // Ends the stream: reports what is still pending (a character waiting for its space).
    void flush(std::vector<ListenEvent> &out);
    // The input's level over the last block, in dB below full scale (-120 for silence).
    double levelDbfs() const { return levelDbfs_; }

private:
    void filterMorse(std::vector<ListenEvent> &out, std::size_t first);

    std::unique_ptr<Resampler> resampler_;
    std::unique_ptr<DtmfDetector> dtmf_;
    std::unique_ptr<CwDecoder> cw_;
    std::vector<float> block_;
    double levelDbfs_ = -120.0;
    bool cwShown_ = false;
};

} // namespace keytoner
