#include "CommandLine.h"
#include "Commands.h"
#include "PttOption.h"
#include "SequenceOptions.h"
#include "StderrMessageBoxes.h"
#include "platform/Clock.h"
#include "platform/QtAudioOutput.h"
#include "tone/SenderTiming.h"
#include "tone/TonePlayer.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace keytoner::cli {

namespace {

int sendSequence(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the sequence on the default sound output and prints the effective time."));
    TimingOptions options;
    options.addTo(parser);
    PttOption ptt;
    ptt.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("SEQUENCE"),
                                 QStringLiteral("DTMF keys 0-9 * # A-D; a blank makes a pause."));
    if (auto status = parseCommandLine(parser, arguments, 1, WrongCount))
        return *status;
    QString problem;
    const auto durations = readTiming(parser, options, problem);
    if (!durations)
        return usageError(parser, arguments, problem);
    const QString sequence = parser.positionalArguments().at(0).toUpper();
    if (sequence.isEmpty())
        return usageError(parser, arguments, QStringLiteral("The sequence is empty."));
    if (const auto bad = sequenceProblem(parser.positionalArguments().at(0)))
        return usageError(arguments, *bad);

    StderrMessageBoxes messages;
    SystemClock clock;
    QtAudioSystem audio;
    TonePlayer player(audio, messages, clock);
    player.setDigitTime(durations->digit);
    player.setGapTime(durations->gap);
    player.setSequencePauseTime(durations->pause);
    player.SetToneTiming();
    if (!ptt.open(parser, arguments.value(0)))
        return 1;
    ptt.around([&] { player.SuonaSequenza(sequence); });
    if (!player.lastPlaybackSucceeded()) {
        QTextStream(stderr) << notSentText() << '\n';
        return 1;
    }
    QString text = completionText(player.ElapsedMs(), QLocale());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextStream(stdout) << text << '\n';
    return 0;
}

} // namespace

int runSend(const QStringList &arguments)
{
    const int status = sendSequence(arguments);
    // Qt 6.4 closes its PulseAudio connection in a static destructor while the connection's
    // thread may still be handling the server's last replies; 3 of 150 runs that exited right
    // after a playback aborted inside libpulse. Everything of ours is closed by now (the
    // player, the PTT port), so leave without that teardown.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace keytoner::cli
