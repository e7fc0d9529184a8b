#include "CommandLine.h"
#include "Commands.h"
#include "PttOption.h"
#include "StderrMessageBoxes.h"
#include "common/Dtmf.h"
#include "common/NumberText.h"
#include "platform/Clock.h"
#include "platform/QtAudioOutput.h"
#include "tone/SenderTiming.h"
#include "tone/Synthesis.h"
#include "tone/TonePlayer.h"
#include "tone/WavFile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace keytoner::cli {

namespace {

const QString WrongCount = QStringLiteral("Wrong number of arguments.");

struct TimingOptions {
    QCommandLineOption digit{QStringLiteral("digit"),
                             QStringLiteral("Digit duration in ms (default 60, at least 25)."),
                             QStringLiteral("MS"), QStringLiteral("60")};
    QCommandLineOption gap{QStringLiteral("gap"),
                           QStringLiteral("Pause between digits in ms (default 40, at least 15)."),
                           QStringLiteral("MS"), QStringLiteral("40")};
    QCommandLineOption pause{
        QStringLiteral("pause"),
        QStringLiteral("Pause for each blank in ms (default 300, at least 25)."),
        QStringLiteral("MS"), QStringLiteral("300")};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({digit, gap, pause}); }
};

// The timing as the sender uses it: raised to the minimums; a value that is not a number is a
// usage error here (the window would read it leniently).
std::optional<ToneDurations> readTiming(const QCommandLineParser &parser,
                                        const TimingOptions &options, QString &problem)
{
    SendTiming timing{
        parser.value(options.digit), parser.value(options.gap), parser.value(options.pause), {}};
    for (const QString *text : {&timing.digit, &timing.gap, &timing.pause}) {
        if (!strictNumber(*text)) {
            problem = QStringLiteral("Not a number of milliseconds: '%1'.").arg(*text);
            return std::nullopt;
        }
    }
    return toneDurations(correctToneTiming(timing));
}

// The sender gives any other character a silent slot; on a command line that is a typing
// mistake, and the caller would take the sequence as sent.
std::optional<QString> sequenceProblem(const QString &sequence)
{
    for (qsizetype k = 0; k < sequence.size(); ++k) {
        const QChar c = sequence[k];
        if (c != u' ' && !isDtmfKey(c.toUpper()))
            return QStringLiteral("\"%1\" at position %2 of the sequence is not a DTMF key "
                                  "(0-9, *, #, A-D in either case) or a blank.")
                .arg(c)
                .arg(k + 1);
    }
    return std::nullopt;
}

SampleCounts countsFor(const ToneDurations &durations)
{
    return {samplesFor(durations.digit), samplesFor(durations.gap), samplesFor(durations.pause)};
}

} // namespace

int runWav(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the sequence as a 16-bit mono 8000 Hz PCM WAV file, sample for "
                       "sample as the sender plays it."));
    TimingOptions options;
    options.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("SEQUENCE"),
                                 QStringLiteral("DTMF keys 0-9 * # A-D; a blank makes a pause."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The WAV file to write."));
    if (auto status = parseCommandLine(parser, arguments, 2, WrongCount))
        return *status;
    QString problem;
    const auto durations = readTiming(parser, options, problem);
    if (!durations)
        return usageError(parser, arguments, problem);

    const QStringList positionals = parser.positionalArguments();
    if (const auto bad = sequenceProblem(positionals.at(0)))
        return usageError(arguments, *bad);
    const QByteArray bytes =
        wavFileBytes(synthesiseSequence(positionals.at(0).toUpper(), countsFor(*durations)));
    QSaveFile file(positionals.at(1));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QTextStream(stderr) << arguments.value(0) << ": " << positionals.at(1) << ": "
                            << file.errorString() << '\n';
        return 1;
    }
    return 0;
}

static int sendSequence(const QStringList &arguments)
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
    player.DigitTime = durations->digit;
    player.GapTime = durations->gap;
    player.SequencePauseTime = durations->pause;
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
