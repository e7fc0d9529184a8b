#include "CwDecoder.h"

namespace keytoner {

void CwDecoder::process(const float *samples, std::size_t count, std::vector<ListenEvent> &out)
{
    for (std::size_t n = 0; n < count; ++n) {
        const float sample = samples[n];
        recent_[recentHead_] = sample;
        recentHead_ = (recentHead_ + 1) % recent_.size();
        ++samplesSeen_;
        if (finder_.add(sample)) {
            envelope_.setFrequency(finder_.frequencyHz());
            if (replay(out))
                continue;
        }
        envelope_.setPresent(finder_.present());
        if (finder_.found())
            envelopeStep(sample, out);
    }
}

// A new tone is heard again from the start of the kept samples (the finder needed a block or
// two to be sure of it), unless the old one keyed something meanwhile; then the old one's
// levels and speed carry on.
bool CwDecoder::replay(std::vector<ListenEvent> &out)
{
    const auto kept =
        std::min<std::int64_t>(samplesSeen_, static_cast<std::int64_t>(recent_.size()));
    const std::int64_t from = samplesSeen_ - kept;
    if (!timing_.quietSince(from * 1000.0 / CwEnvelope::SampleRate))
        return false;
    // Another tone after a pause is another sender: what the last one left is finished, and
    // the speed and the levels are learnt anew.
    timing_.restart(out);
    envelope_.restart(finder_.noiseFloor(), ToneFinder::BlockSamples);
    envelope_.setPresent(true);
    envelopeSamples_ = from;
    for (auto i = static_cast<std::size_t>(static_cast<std::int64_t>(recent_.size()) - kept);
         i < recent_.size(); ++i)
        envelopeStep(recent_[(recentHead_ + i) % recent_.size()], out);
    return true;
}

void CwDecoder::envelopeStep(float sample, std::vector<ListenEvent> &out)
{
    ++envelopeSamples_;
    if (!envelope_.add(sample))
        return;
    const double timeMs = envelopeSamples_ * 1000.0 / CwEnvelope::SampleRate;
    timing_.step(envelope_.keyed(), timeMs, CwEnvelope::DumpMs, out);
    envelope_.setDitMs(timing_.ditMs());
}

void CwDecoder::flush(std::vector<ListenEvent> &out)
{
    timing_.flush(out);
}

} // namespace keytoner
