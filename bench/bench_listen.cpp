// Test recordings and real-time figures for the listener. bench/bench-listen.py drives it and
// compares our decoder with multimon-ng on the same files.
//   bench_listen dtmf OUT.wav KEYS ON_MS OFF_MS SNR_DB SEED [FREQ_FACTOR TWIST_DB]
//   bench_listen cw OUT.wav WPM SNR_DB SEED TEXT [WPM_SECOND_HALF]
//   bench_listen chords OUT.wav SECONDS SEED
//   bench_listen realtime
// SNR: signal power while the tone is on against the noise power in a 3 kHz band (white
// Gaussian noise over the whole 4 kHz band of the 8000 Hz file).
#include "listen/Listener.h"
#include "tone/MorseSynthesis.h"
#include "tone/Synthesis.h"
#include "tone/WavFile.h"

#include <QFile>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace keytoner;

namespace {

constexpr int FileRate = 8000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::vector<double> padded(const std::vector<double> &signal, int rate)
{
    std::vector<double> out(static_cast<std::size_t>(rate * 0.3), 0.0);
    out.insert(out.end(), signal.begin(), signal.end());
    // A second of silence after the end lets every decoder finish its last character.
    out.resize(out.size() + static_cast<std::size_t>(rate * 1.0), 0.0);
    return out;
}

std::vector<int16_t> withNoise(const std::vector<double> &clean, double snrDb, unsigned seed)
{
    double power = 0.0;
    std::size_t on = 0;
    for (const double x : clean) {
        if (std::abs(x) > 1.0) {
            power += x * x;
            ++on;
        }
    }
    power /= std::max<std::size_t>(1, on);
    // Noise power in 3 kHz is three quarters of the whole 4 kHz band's.
    const double sigma = std::sqrt(power / std::pow(10.0, snrDb / 10.0) / 0.75);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, snrDb >= 200 ? 0.0 : sigma);
    std::vector<int16_t> out(clean.size());
    for (std::size_t i = 0; i < clean.size(); ++i)
        out[i] = static_cast<int16_t>(
            std::clamp(std::lround(clean[i] + noise(random)), -32768L, 32767L));
    return out;
}

bool write(const char *path, const std::vector<int16_t> &samples)
{
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray bytes = wavFileBytes(samples);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::vector<double> dtmf(const std::string &keys, double onMs, double offMs, double factor,
                         double twistDb)
{
    static const char *layout = "123A456B789C*0#D";
    static const double rows[] = {697, 770, 852, 941};
    static const double columns[] = {1209, 1336, 1477, 1633};
    if (factor == 1.0 && twistDb == 0.0) {
        // The sender's own synthesis.
        const SampleCounts counts{samplesFor(onMs / 1000.0), samplesFor(offMs / 1000.0),
                                  samplesFor(0.3)};
        const auto samples = synthesiseSequence(QString::fromStdString(keys), counts);
        return {samples.begin(), samples.end()};
    }
    // Off frequency and with twist: a high group twistDb stronger than the low one when the
    // tones are high, weaker when low, as a worn radio might do either.
    const double high = 10000.0 * std::pow(10.0, (factor > 1.0 ? twistDb : -twistDb) / 40.0);
    const double low = 10000.0 * std::pow(10.0, (factor > 1.0 ? -twistDb : twistDb) / 40.0);
    std::vector<double> out;
    const auto on = static_cast<std::size_t>(onMs * FileRate / 1000.0);
    const auto off = static_cast<std::size_t>(offMs * FileRate / 1000.0);
    for (const char key : keys) {
        const auto at = std::string_view(layout).find(key);
        const double f1 = rows[at / 4] * factor;
        const double f2 = columns[at % 4] * factor;
        for (std::size_t n = 0; n < on; ++n) {
            const double t = static_cast<double>(out.size()) / FileRate;
            out.push_back(low * std::sin(2 * std::numbers::pi * f1 * t) +
                          high * std::sin(2 * std::numbers::pi * f2 * t));
        }
        out.resize(out.size() + off, 0.0);
    }
    return out;
}

std::vector<double> morse(const std::string &text, int wpm, int secondWpm)
{
    std::string first = text;
    std::string second;
    if (secondWpm > 0) {
        std::size_t middle = text.find(' ', text.size() / 2);
        if (middle == std::string::npos)
            middle = text.size();
        first = text.substr(0, middle);
        second = middle < text.size() ? text.substr(middle + 1) : std::string();
    }
    auto samples = synthesiseMorse(first, wpm, FileRate, 700.0);
    std::vector<double> out(samples.begin(), samples.end());
    if (!second.empty()) {
        // A word space between the halves that reads as one at either speed.
        const int slower = std::max(morseDitMs(wpm), morseDitMs(secondWpm));
        out.resize(out.size() + static_cast<std::size_t>(5 * slower * 8), 0.0);
        const auto rest = synthesiseMorse(second, secondWpm, FileRate, 700.0);
        out.insert(out.end(), rest.begin(), rest.end());
    }
    return out;
}

// Chords of three or four notes with a few harmonics, a quarter to one second each: the kind
// of sound that holds two steady tones for long enough to look like a key.
std::vector<double> chords(double seconds, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> note(-24, 24);
    std::uniform_int_distribution<int> count(3, 4);
    std::uniform_real_distribution<double> length(0.25, 1.0);
    std::vector<double> out;
    while (out.size() < seconds * FileRate) {
        std::vector<double> notes;
        for (int i = count(random); i > 0; --i)
            notes.push_back(440.0 * std::pow(2.0, note(random) / 12.0));
        const auto n = static_cast<std::size_t>(length(random) * FileRate);
        for (std::size_t k = 0; k < n; ++k) {
            const double t = static_cast<double>(out.size()) / FileRate;
            const double envelope = std::min(1.0, std::min(k, n - k) / 200.0);
            double x = 0.0;
            for (const double f : notes) {
                for (int h = 1; h <= 4; ++h) {
                    if (f * h < 3800.0)
                        x += std::sin(2 * std::numbers::pi * f * h * t) / (h * h);
                }
            }
            out.push_back(4000.0 * envelope * x);
        }
    }
    return out;
}

// CPU share at 48 kHz in 10 ms blocks, and how long after each key's or character's end its
// event appears.
int realtime()
{
    constexpr int rate = 48000;
    constexpr int blockSamples = rate / 100;
    // Keys at 40/40 and Morse at 14 and at 150 WPM, each followed by silence.
    std::vector<int16_t> signal;
    std::vector<double> ends; // seconds
    auto append = [&](const std::vector<int16_t> &part, std::vector<double> partEnds) {
        for (double &end : partEnds)
            end += static_cast<double>(signal.size()) / rate;
        ends.insert(ends.end(), partEnds.begin(), partEnds.end());
        signal.insert(signal.end(), part.begin(), part.end());
        // Four seconds apart: separate transmissions, each read from its start.
        signal.resize(signal.size() + 4 * rate, 0);
    };
    {
        const std::string keys = "1234567890*#ABCD";
        std::vector<int16_t> part;
        std::vector<double> partEnds;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            for (int n = 0; n < rate * 40 / 1000; ++n) {
                const double t = static_cast<double>(part.size()) / rate;
                static const char *layout = "123A456B789C*0#D";
                const auto at = std::string_view(layout).find(keys[i]);
                static const double rows[] = {697, 770, 852, 941};
                static const double columns[] = {1209, 1336, 1477, 1633};
                part.push_back(static_cast<int16_t>(
                    8000 * std::sin(2 * std::numbers::pi * rows[at / 4] * t) +
                    8000 * std::sin(2 * std::numbers::pi * columns[at % 4] * t)));
            }
            partEnds.push_back(static_cast<double>(part.size()) / rate);
            part.resize(part.size() + rate * 40 / 1000, 0);
        }
        append(part, partEnds);
    }
    const std::string text = "PARIS K";
    const int dtmfEvents = static_cast<int>(ends.size());
    const std::size_t morseStart = signal.size();
    for (const int wpm : {14, 150}) {
        // Character ends from the lengths of the text's prefixes (one dit of silence trails).
        std::vector<double> partEnds;
        for (std::size_t i = 1; i <= text.size(); ++i) {
            if (text[i - 1] == ' ')
                continue;
            const auto prefix = synthesiseMorse(text.substr(0, i), wpm, rate, 700.0);
            partEnds.push_back(static_cast<double>(prefix.size()) / rate -
                               morseDitMs(wpm) / 1000.0);
        }
        append(synthesiseMorse(text, wpm, rate, 700.0), partEnds);
    }
    // Noise at 20 dB under the tones keeps the detectors busy as on a real channel.
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 800.0);
    for (int16_t &x : signal)
        x = static_cast<int16_t>(std::clamp(std::lround(x + noise(random)), -32768L, 32767L));

    const double start = cpuSeconds();
    constexpr int rounds = 20;
    for (int round = 0; round < rounds; ++round) {
        Listener timed(rate);
        std::vector<ListenEvent> scratch;
        for (std::size_t at = 0; at < signal.size(); at += blockSamples) {
            timed.process(signal.data() + at,
                          std::min<std::size_t>(blockSamples, signal.size() - at), scratch);
            scratch.clear();
        }
    }
    const double cpu = cpuSeconds() - start;
    const double audio = rounds * static_cast<double>(signal.size()) / rate;
    std::printf("CPU at 48 kHz, DTMF and Morse: %.2f %% of one core (%.1f s of sound in %.3f s)\n",
                100.0 * cpu / audio, audio, cpu);

    // Latency, one detector on its own part (the Morse decoder also reads DTMF tones as Morse).
    for (const bool dtmf : {true, false}) {
        Listener listener(rate, dtmf, !dtmf);
        std::vector<ListenEvent> events;
        std::vector<double> heardAt;
        const std::size_t end = dtmf ? morseStart : signal.size();
        for (std::size_t at = dtmf ? 0 : morseStart; at < end; at += blockSamples) {
            const std::size_t before = events.size();
            const std::size_t count = std::min<std::size_t>(blockSamples, end - at);
            listener.process(signal.data() + at, count, events);
            for (std::size_t i = before; i < events.size(); ++i)
                heardAt.push_back(static_cast<double>(at + count) / rate);
        }
        std::string heard;
        for (const auto &event : events)
            heard += event.text + "|";
        const std::size_t first = dtmf ? 0 : static_cast<std::size_t>(dtmfEvents);
        const std::size_t expected = dtmf ? dtmfEvents : ends.size() - dtmfEvents;
        std::printf("%s: %zu events of %zu: %s\n", dtmf ? "DTMF" : "Morse", events.size(), expected,
                    heard.c_str());
        if (events.size() != expected)
            continue;
        double worst[2] = {0.0, 0.0};
        for (std::size_t i = 0; i < events.size(); ++i) {
            const int part = dtmf || i < expected / 2 ? 0 : 1;
            worst[part] = std::max(worst[part], heardAt[i] - ends[first + i]);
        }
        if (dtmf)
            std::printf("  worst latency after a key's end (10 ms blocks): %.0f ms\n",
                        worst[0] * 1000);
        else
            std::printf("  worst latency after a character's end (10 ms blocks): 14 WPM %.0f ms, "
                        "150 WPM %.0f ms\n",
                        worst[0] * 1000, worst[1] * 1000);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "dtmf" && argc >= 8) {
        const double factor = argc > 8 ? std::atof(argv[8]) : 1.0;
        const double twist = argc > 9 ? std::atof(argv[9]) : 0.0;
        const auto clean =
            padded(dtmf(argv[3], std::atof(argv[4]), std::atof(argv[5]), factor, twist), FileRate);
        return write(argv[2], withNoise(clean, std::atof(argv[6]), std::atoi(argv[7]))) ? 0 : 1;
    }
    if (mode == "cw" && argc >= 7) {
        const int second = argc > 7 ? std::atoi(argv[7]) : 0;
        const auto clean = padded(morse(argv[6], std::atoi(argv[3]), second), FileRate);
        return write(argv[2], withNoise(clean, std::atof(argv[4]), std::atoi(argv[5]))) ? 0 : 1;
    }
    if (mode == "chords" && argc >= 5) {
        const auto clean = chords(std::atof(argv[3]), std::atoi(argv[4]));
        return write(argv[2], withNoise(clean, 200, 1)) ? 0 : 1;
    }
    if (mode == "realtime")
        return realtime();
    std::fprintf(stderr, "usage: see the top of bench/bench_listen.cpp\n");
    return 2;
}
