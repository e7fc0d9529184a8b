#pragma once

#include "listen/Listener.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace keytoner::test {

// Test sound built up piece by piece at any rate, as doubles until the end.
struct Sound {
    int rate = 8000;
    std::vector<double> samples;

    void silence(double ms) { samples.resize(samples.size() + count(ms), 0.0); }
    void tones(double ms, double f1, double a1, double f2 = 0.0, double a2 = 0.0)
    {
        const std::size_t n = count(ms);
        for (std::size_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(samples.size()) / rate;
            samples.push_back(a1 * std::sin(2 * std::numbers::pi * f1 * t) +
                              a2 * std::sin(2 * std::numbers::pi * f2 * t));
        }
    }
    void append(const std::vector<int16_t> &more)
    {
        samples.insert(samples.end(), more.begin(), more.end());
    }
    // White Gaussian noise of this standard deviation over everything so far.
    void noise(double sigma, unsigned seed = 1)
    {
        std::mt19937 random(seed);
        std::normal_distribution<double> gauss(0.0, sigma);
        for (double &x : samples)
            x += gauss(random);
    }
    // Dither of whole LSBs, uniform in ±lsb, from this time on (before it: digital silence).
    void dither(int lsb, double fromMs, unsigned seed = 1)
    {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> step(-lsb, lsb);
        for (std::size_t i = count(fromMs); i < samples.size(); ++i)
            samples[i] += step(random);
    }
    std::size_t count(double ms) const
    {
        return static_cast<std::size_t>(std::lround(ms * rate / 1000.0));
    }

    std::vector<int16_t> pcm() const
    {
        std::vector<int16_t> out;
        for (const double x : samples)
            out.push_back(static_cast<int16_t>(std::clamp(std::lround(x), -32768L, 32767L)));
        return out;
    }
};

// Everything the listener reports for the sound, given in blocks of 20 ms.
inline std::vector<ListenEvent> listen(const Sound &sound, bool dtmf, bool cw)
{
    Listener listener(sound.rate, dtmf, cw);
    const std::vector<int16_t> pcm = sound.pcm();
    std::vector<ListenEvent> events;
    const std::size_t block = static_cast<std::size_t>(sound.rate / 50);
    for (std::size_t at = 0; at < pcm.size(); at += block)
        listener.process(pcm.data() + at, std::min(block, pcm.size() - at), events);
    listener.flush(events);
    return events;
}

inline std::string joined(const std::vector<ListenEvent> &events)
{
    std::string text;
    for (const ListenEvent &event : events)
        text += event.text;
    return text;
}

} // namespace keytoner::test
