#include "Listener.h"

#include "CwDecoder.h"
#include "DtmfDetector.h"
#include "Resampler.h"

#include <algorithm>
#include <cmath>

namespace keytoner {

Listener::Listener(int sampleRate, bool dtmf, bool cw)
    : resampler_(std::make_unique<Resampler>(sampleRate)),
      dtmf_(dtmf ? std::make_unique<DtmfDetector>() : nullptr),
      cw_(cw ? std::make_unique<CwDecoder>() : nullptr)
{
}

Listener::~Listener() = default;

void Listener::process(const int16_t *samples, std::size_t count, std::vector<ListenEvent> &out)
{
    if (count == 0)
        return;
    double energy = 0.0;
    for (std::size_t n = 0; n < count; ++n)
        energy += static_cast<double>(samples[n]) * samples[n];
    const double meanSquare = energy / count / (32768.0 * 32768.0);
    levelDbfs_ = meanSquare > 1e-12 ? std::max(-120.0, 10.0 * std::log10(meanSquare)) : -120.0;

    block_.clear();
    resampler_->process(samples, count, block_);
    // Each detector keeps its own order; merged, the events stay in time order.
    const std::size_t first = out.size();
    if (dtmf_)
        dtmf_->process(block_.data(), block_.size(), out);
    if (cw_) {
        const std::size_t firstCw = out.size();
        cw_->process(block_.data(), block_.size(), out);
        filterMorse(out, firstCw);
    }
    std::stable_sort(
        out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
        [](const ListenEvent &a, const ListenEvent &b) { return a.timeSeconds < b.timeSeconds; });
}

void Listener::flush(std::vector<ListenEvent> &out)
{
    if (cw_) {
        const std::size_t firstCw = out.size();
        cw_->flush(out);
        filterMorse(out, firstCw);
    }
}

// The Morse decoder hears a DTMF key's tones as a mark too; what it reads while a key sounds
// is that key, already reported.
void Listener::filterMorse(std::vector<ListenEvent> &out, std::size_t first)
{
    if (dtmf_) {
        constexpr double margin = 0.05;
        const auto fromKey = [this](const ListenEvent &event) {
            return event.kind == ListenEvent::Kind::Cw &&
                   dtmf_->keyAround(event.timeSeconds, margin);
        };
        out.erase(
            std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), fromKey),
            out.end());
    }
    // Text shown starts with a character, not with the word space after something dropped.
    for (auto event = out.begin() + static_cast<std::ptrdiff_t>(first); event != out.end();
         ++event) {
        if (!cwShown_ && event->text.starts_with(' '))
            event->text.erase(0, 1);
        cwShown_ = true;
    }
}

} // namespace keytoner
