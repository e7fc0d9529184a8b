// Tone engine figures: synthesis time of a long sequence, and (with --play, on a running sound
// server) one playback of about ten seconds through the real output: wall time, CPU time spent
// while waiting, and how far the reported end lies past the ideal one (samples / 8000).
// bench/bench-send.sh runs it on a private PulseAudio null sink with the other comparisons.
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/QtAudioOutput.h"
#include "tone/Synthesis.h"
#include "tone/TonePlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace keytoner;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString keys(int count)
{
    const QString all = QStringLiteral("0123456789*#ABCD");
    QString text;
    for (int i = 0; i < count; ++i)
        text += all.at(i % all.size());
    return text;
}

class PrintedMessages : public MessageBoxes {
public:
    void show(QWidget *, MessageIcon, const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

void benchSynthesis()
{
    const QString sequence = keys(1024);
    const SampleCounts counts{480, 320, 2400};
    constexpr int runs = 20;
    std::vector<qint64> ns;
    size_t samples = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        samples = synthesiseSequence(sequence, counts).size();
        ns.push_back(timer.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    std::printf("synthesis: 1024 keys at 60/40 ms -> %zu samples (%.1f s of audio): "
                "median %.2f ms, best %.2f ms over %d runs\n",
                samples, samples / 8000.0, ns[runs / 2] / 1e6, ns.front() / 1e6, runs);
}

int benchPlayback()
{
    PrintedMessages messages;
    SystemClock clock;
    QtAudioSystem audio;
    TonePlayer player(audio, messages, clock);
    player.setDigitTime(0.060);
    player.setGapTime(0.040);
    player.SetToneTiming();
    const QString sequence = keys(100);
    const double ideal = ToneLayout::of(sequence).totalSamples(player.sampleCounts()) / 8000.0;

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    player.SuonaSequenza(sequence);
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = wall.nsecsElapsed() / 1e9;
    if (!player.lastPlaybackSucceeded()) {
        std::printf("playback: FAILED\n");
        return 1;
    }
    std::printf("playback: 100 keys at 60/40 ms, ideal %.3f s: wall %.3f s, effective %d ms "
                "(%+d ms past ideal), CPU %.3f s = %.2f%% of one core (synthesis included)\n",
                ideal, seconds, player.ElapsedMs(),
                player.ElapsedMs() - static_cast<int>(ideal * 1000 + 0.5), cpu,
                100.0 * cpu / seconds);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchSynthesis();
    if (!app.arguments().contains(QStringLiteral("--play")))
        return 0;
    // Skips Qt 6.4's racy PulseAudio teardown at exit (see runSend in keytoner-cli).
    const int status = benchPlayback();
    std::fflush(nullptr);
    std::_Exit(status);
}
