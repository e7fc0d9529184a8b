#include "CommandLine.h"
#include "Commands.h"
#include "StderrMessageBoxes.h"
#include "listen/MorseTable.h"
#include "platform/Clock.h"
#include "platform/QtAudioOutput.h"
#include "tone/MorseSynthesis.h"
#include "tone/TonePlayer.h"
#include "tone/WavFile.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace keytoner::cli {

namespace {

constexpr int LowestWpm = 14;
constexpr int HighestWpm = 150;

bool hasMorse(const std::string &text)
{
    for (const char c : text) {
        if (morseCode(std::string_view(&c, 1)))
            return true;
    }
    return false;
}

int writeFile(const QStringList &arguments, const QString &path,
              const std::vector<int16_t> &samples)
{
    const QByteArray bytes = wavFileBytes(samples);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(arguments, path + QStringLiteral(": ") + file.errorString());
    return 0;
}

int play(std::vector<int16_t> samples)
{
    StderrMessageBoxes messages;
    SystemClock clock;
    QtAudioSystem audio;
    TonePlayer player(audio, messages, clock);
    player.playSamples(std::move(samples));
    return player.lastPlaybackSucceeded() ? 0 : 1;
}

int runCwCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sends the text in Morse with the board's dit length (1190 / WPM ms) to the default "
        "sound output, or writes it as a 16-bit mono 8000 Hz WAV file. Never keys the "
        "transmitter."));
    const QCommandLineOption wpm(
        QStringLiteral("wpm"), QStringLiteral("Speed in words per minute, 14 to 150 (default 20)."),
        QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption tone(QStringLiteral("tone"),
                                  QStringLiteral("Tone in Hz, 300 to 1500 (default 800)."),
                                  QStringLiteral("HZ"), QStringLiteral("800"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write a WAV file instead of playing."),
                                    QStringLiteral("FILE"));
    parser.addOptions({wpm, tone, output});
    parser.addPositionalArgument(QStringLiteral("TEXT"),
                                 QStringLiteral("Letters, digits, signs; a blank between words; "
                                                "prosigns as <AR>."));
    if (auto status =
            parseCommandLine(parser, arguments, 1, QStringLiteral("Wrong number of arguments.")))
        return *status;
    bool ok = false;
    const int speed = parser.value(wpm).toInt(&ok);
    if (!ok || speed < LowestWpm || speed > HighestWpm)
        return usageError(
            parser, arguments,
            QStringLiteral("The speed must be 14 to 150 WPM: '%1'.").arg(parser.value(wpm)));
    const double hz = parser.value(tone).toDouble(&ok);
    if (!ok || hz < 300.0 || hz > 1500.0)
        return usageError(
            parser, arguments,
            QStringLiteral("The tone must be 300 to 1500 Hz: '%1'.").arg(parser.value(tone)));
    const std::string text = parser.positionalArguments().at(0).toStdString();
    if (!hasMorse(text))
        return usageError(parser, arguments,
                          QStringLiteral("Nothing in the text to send in Morse."));

    std::vector<int16_t> samples = synthesiseMorse(text, speed, 8000, hz);
    if (parser.isSet(output))
        return writeFile(arguments, parser.value(output), samples);
    return play(std::move(samples));
}

} // namespace

int runCw(const QStringList &arguments)
{
    const int status = runCwCommand(arguments);
    // As for send: leave without Qt's PulseAudio teardown, which may race its own thread.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace keytoner::cli
