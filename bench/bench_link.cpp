// Wall time of READ and PROGRAM against the virtual board, as a ratio to the protocol's fixed
// pauses and waits, and the CPU time the program's thread spends meanwhile (the board's own
// thread is counted apart).
#include "link/LinkSession.h"
#include "link/RecordingReporter.h"
#include "link/VirtualBoard.h"
#include "platform/Clock.h"
#include "platform/QtSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace keytoner;
using namespace keytoner::link;

namespace {

double cpuMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Figures {
    double wallMs = 0;
    double threadCpuMs = 0;
    double processCpuMs = 0;
};

Figures measure(const std::function<LinkSession::Outcome()> &exchange, const char *name)
{
    const double thread0 = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const double process0 = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    QElapsedTimer wall;
    wall.start();
    const auto outcome = exchange();
    Figures figures{static_cast<double>(wall.nsecsElapsed()) / 1e6,
                    cpuMs(CLOCK_THREAD_CPUTIME_ID) - thread0,
                    cpuMs(CLOCK_PROCESS_CPUTIME_ID) - process0};
    if (outcome != LinkSession::Outcome::Succeeded)
        std::fprintf(stderr, "%s did not succeed\n", name);
    return figures;
}

void report(const char *name, double minimumMs, const Figures &f, int runs)
{
    const double wall = f.wallMs / runs;
    std::printf("%-8s wall %7.1f ms  minimum %6.0f ms  ratio %.3f  program thread CPU %5.1f ms "
                "(%.2f%% of one core)  whole process %5.1f ms (%.2f%%)\n",
                name, wall, minimumMs, wall / minimumMs, f.threadCpuMs / runs,
                100.0 * f.threadCpuMs / f.wallMs, f.processCpuMs / runs,
                100.0 * f.processCpuMs / f.wallMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    VirtualBoard board;
    QString error;
    if (!board.start(&error)) {
        std::fprintf(stderr, "virtual board: %s\n", qPrintable(error));
        return 1;
    }
    QtSerialPort port;
    if (!port.open(board.devicePath())) {
        std::fprintf(stderr, "open: %s\n", qPrintable(port.errorString()));
        return 1;
    }
    SystemClock clock;
    QTimer timer;
    RecordingReporter reporter;
    ConfigImage prg = board.image();
    ConfigImage rx{};
    LinkSession session(port, clock, timer, reporter, prg, rx);

    // Fixed times: READ 200 + 200 + 768 (+ the identity's arrival); PROGRAM 10 + 4 x 480 + 100
    // + 768 (+ the identity's arrival).
    const double readMinimum = 200 + 200 + 768;
    const double programMinimum = 10 + 4 * 480 + 100 + 768;
    Figures read, program;
    for (int i = 0; i < runs; ++i) {
        const Figures r = measure([&] { return session.read(); }, "READ");
        const Figures p = measure([&] { return session.ProgramBoard(); }, "PROGRAM");
        read = {read.wallMs + r.wallMs, read.threadCpuMs + r.threadCpuMs,
                read.processCpuMs + r.processCpuMs};
        program = {program.wallMs + p.wallMs, program.threadCpuMs + p.threadCpuMs,
                   program.processCpuMs + p.processCpuMs};
    }
    std::printf("%d runs each against the virtual board at 4800 baud\n", runs);
    report("READ", readMinimum, read, runs);
    report("PROGRAM", programMinimum, program, runs);
    port.close();
    board.stop();
    return 0;
}
