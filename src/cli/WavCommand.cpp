#include "CommandLine.h"
#include "Commands.h"
#include "SequenceOptions.h"
#include "tone/Synthesis.h"
#include "tone/WavFile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace keytoner::cli {

namespace {

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

} // namespace keytoner::cli
