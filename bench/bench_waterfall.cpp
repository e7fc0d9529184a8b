// CPU cost of the Listen window's spectrum picture, as a share of one core in real time:
// the spectrum rows of a 48 kHz input, and the picture scrolled and painted for every row.
//   QT_QPA_PLATFORM=offscreen bench_waterfall [SECONDS]
#include "app/WaterfallView.h"
#include "listen/WaterfallRows.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <vector>

using namespace keytoner;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    constexpr int rate = 48000;
    constexpr int blockSamples = rate / 25; // 40 ms, the input's block
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 3000.0f);
    std::vector<int16_t> block(blockSamples);

    Spectrum spectrum(rate);
    std::vector<std::vector<float>> rows;
    WaterfallView view(spectrum.bands(), spectrum.topHz());
    view.resize(520, 230);
    QImage target(view.size(), QImage::Format_RGB32);

    double spectrumCpu = 0.0;
    double pictureCpu = 0.0;
    for (int n = 0; n < seconds * 25; ++n) {
        for (int16_t &sample : block)
            sample = int16_t(std::clamp(noise(random), -32768.0f, 32767.0f));
        const double start = cpuSeconds();
        rows.clear();
        spectrum.process(block.data(), block.size(), rows);
        const double middle = cpuSeconds();
        for (const std::vector<float> &row : rows)
            view.addRow(row);
        view.render(&target);
        pictureCpu += cpuSeconds() - middle;
        spectrumCpu += middle - start;
    }
    std::printf("spectrum rows (48 kHz, 50 rows/s): %.2f %% of one core\n",
                100.0 * spectrumCpu / seconds);
    std::printf("picture scrolled and painted (520x230, 25 paints/s): %.2f %% of one core\n",
                100.0 * pictureCpu / seconds);
    return 0;
}
