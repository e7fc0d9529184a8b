#include "TonePlayer.h"

#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace keytoner {

QString resultCodeText(int code)
{
    return code < 0 ? QString::number(code) : QLatin1Char(' ') + QString::number(code);
}

TonePlayer::TonePlayer(AudioSystem &audio, MessageBoxes &messages, Clock &clock)
    : audio_(audio), messages_(messages), clock_(clock)
{
}

TonePlayer::~TonePlayer()
{
    if (output_)
        output_->reset();
}

void TonePlayer::SetToneTiming()
{
    counts_.digit = samplesFor(DigitTime);
    counts_.gap = samplesFor(GapTime);
    counts_.pause = samplesFor(SequencePauseTime);
}

void TonePlayer::SuonaSequenza(const QString &sequence)
{
    if (sequence.isEmpty() || isPlaying_)
        return;
    lastSucceeded_ = play(sequence);
}

bool TonePlayer::play(const QString &sequence)
{
    setPlaying(true);
    output_ = audio_.createOutput();
    if (!output_) {
        fail(QStringLiteral("1. waveOutOpen failed - "), AudioNoDevice);
        return false;
    }
    if (const int code = output_->open(); code != AudioOk) {
        fail(QStringLiteral("1. waveOutOpen failed - "), code);
        return false;
    }
    std::vector<int16_t> samples = synthesiseSequence(sequence, counts_);
    const auto sampleCount = static_cast<qint64>(samples.size());
    if (const int code = output_->prepare(std::move(samples)); code != AudioOk) {
        fail(QStringLiteral("2. waveOutPrepareHeader failed - "), code);
        return false;
    }
    if (const int code = output_->write(); code != AudioOk) {
        fail(QStringLiteral("3. waveOutWrite failed - "), code);
        return false;
    }
    const qint64 start = clock_.tickMs();
    if (!waitUntilDone(sampleCount)) {
        const int code = output_->playbackError();
        fail(QStringLiteral("3. waveOutWrite failed - "),
             code != AudioOk ? code : AudioNotFinished);
        return false;
    }
    elapsedMs_ = static_cast<int>(clock_.tickMs() - start);
    if (const int code = output_->unprepare(); code != AudioOk) {
        fail(QStringLiteral("4. waveOutUnPrepareHeader failed - 1 - "), code);
        return true;
    }
    const int closed = output_->close();
    output_.reset();
    if (closed != AudioOk)
        messages_.show(messageParent_, MessageIcon::Critical, caption(),
                       QStringLiteral("5. waveOutClose failed - ") + resultCodeText(closed));
    setPlaying(false);
    return true;
}

// Runs the event loop until the output reports the end of the buffer or a failure, or until
// the buffer's duration plus a margin has passed. Nothing polls here: the loop sleeps until
// the output's signal or the deadline timer wakes it.
bool TonePlayer::waitUntilDone(qint64 sampleCount)
{
    AudioOutput *output = output_.get();
    if (output->isDone())
        return true;
    if (output->playbackError() != AudioOk)
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::CoarseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(output, &AudioOutput::finished, &loop, &QEventLoop::quit);
    const qint64 durationMs = sampleCount * 1000 / static_cast<qint64>(SampleRate);
    deadline.start(static_cast<int>(std::min<qint64>(durationMs + finishMarginMs_, INT_MAX)));
    loop.exec();
    return output->isDone();
}

void TonePlayer::fail(const QString &prompt, int code)
{
    messages_.show(messageParent_, MessageIcon::Critical, caption(), prompt + resultCodeText(code));
    ResetWaveOut();
}

void TonePlayer::ResetWaveOut()
{
    if (output_) {
        output_->reset();
        output_.reset();
    }
    setPlaying(false);
}

void TonePlayer::setPlaying(bool playing)
{
    if (isPlaying_ == playing)
        return;
    isPlaying_ = playing;
    emit playingChanged(playing);
}

} // namespace keytoner
