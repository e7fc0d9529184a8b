#include "CwDecoder.h"

namespace keytoner {

void CwDecoder::process(const float *samples, std::size_t count, std::vector<ListenEvent> &out)
{
    for (std::size_t n = 0; n < count; ++n) {
        const float sample = samples[n];
        recent_[recentHead_] = sample;
        recentHead_ = (recentHead_ + 1) % recent_.size();
        ++samplesSeen_;
        const bool wasFound = finder_.found();
        if (finder_.add(sample)) {
            envelope_.setFrequency(finder_.frequencyHz());
            if (!wasFound) {
                envelopeSamples_ = std::max<std::int64_t>(
                    0, samplesSeen_ - static_cast<std::int64_t>(recent_.size()));
                const std::size_t replay =
                    static_cast<std::size_t>(samplesSeen_ - envelopeSamples_);
                for (std::size_t i = recent_.size() - replay; i < recent_.size(); ++i)
                    envelopeStep(recent_[(recentHead_ + i) % recent_.size()], out);
                continue;
            }
        }
        if (finder_.found())
            envelopeStep(sample, out);
    }
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
