#include "MorseSynthesis.h"

#include "listen/MorseTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace keytoner {

namespace {

constexpr double MarkAmplitude = 10000.0;
constexpr double RampSeconds = 0.002;

// Keying as (start, end) sample pairs of the marks, in units of dits.
struct Keying {
    std::vector<std::pair<long, long>> marks;
    long length = 0;

    void mark(long dits)
    {
        marks.emplace_back(length, length + dits);
        length += dits;
    }
    void space(long dits) { length += dits; }
};

// Splits off the next character: a prosign "<..>" when one is written, else one byte.
std::string_view nextCharacter(std::string_view text)
{
    if (text.front() == '<') {
        const auto end = text.find('>');
        if (end != std::string_view::npos && morseCode(text.substr(0, end + 1)))
            return text.substr(0, end + 1);
    }
    return text.substr(0, 1);
}

Keying keyingOf(std::string_view text)
{
    Keying keying;
    keying.space(1);
    bool afterCharacter = false;
    while (!text.empty()) {
        const std::string_view character = nextCharacter(text);
        text.remove_prefix(character.size());
        if (character == " ") {
            if (afterCharacter)
                keying.space(4);
            continue;
        }
        const auto code = morseCode(character);
        if (!code)
            continue;
        if (afterCharacter)
            keying.space(3);
        for (std::size_t i = 0; i < code->size(); ++i) {
            if (i > 0)
                keying.space(1);
            keying.mark((*code)[i] == '-' ? 3 : 1);
        }
        afterCharacter = true;
    }
    keying.space(1);
    return keying;
}

// 0 before the edge, 1 after, a raised cosine across [-half, half] samples around it.
double ramp(double fromEdge, double half)
{
    if (fromEdge <= -half)
        return 0.0;
    if (fromEdge >= half)
        return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * (fromEdge + half) / (2.0 * half));
}

} // namespace

int morseDitMs(int wpm)
{
    // Halves to even, as the configuration image stores it (28 WPM keys 42 ms, not 43).
    return static_cast<int>(std::nearbyint(1190.0 / std::max(1, wpm)));
}

std::vector<int16_t> synthesiseMorse(std::string_view text, int wpm, int sampleRate, double toneHz)
{
    const Keying keying = keyingOf(text);
    const double ditSamples = morseDitMs(wpm) * sampleRate / 1000.0;
    const double half = std::min(RampSeconds * sampleRate / 2.0, ditSamples / 4.0);
    std::vector<int16_t> samples(static_cast<std::size_t>(std::lround(keying.length * ditSamples)));
    const double step = 2.0 * std::numbers::pi * toneHz / sampleRate;
    for (const auto &[from, to] : keying.marks) {
        const double start = from * ditSamples;
        const double end = to * ditSamples;
        const auto first = static_cast<long>(std::floor(start - half));
        const auto last = std::min(static_cast<long>(std::ceil(end + half)),
                                   static_cast<long>(samples.size()) - 1);
        for (long n = std::max(0L, first); n <= last; ++n) {
            const double gain = ramp(n - start, half) * ramp(end - n, half);
            samples[static_cast<std::size_t>(n)] =
                static_cast<int16_t>(std::lround(MarkAmplitude * gain * std::sin(step * n)));
        }
    }
    return samples;
}

} // namespace keytoner
