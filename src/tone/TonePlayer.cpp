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
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::CoarseTimer);
    connect(&deadline_, &QTimer::timeout, this, &TonePlayer::outputFinished);
}

TonePlayer::~TonePlayer()
{
    if (output_)
        output_->reset();
}

void TonePlayer::SetToneTiming()
{
    counts_.digit = samplesFor(digitTime_);
    counts_.gap = samplesFor(gapTime_);
    counts_.pause = samplesFor(sequencePauseTime_);
}

void TonePlayer::SuonaSequenza(const QString &sequence)
{
    QEventLoop loop;
    connect(this, &TonePlayer::playbackEnded, &loop, &QEventLoop::quit);
    if (startSequence(sequence) && isPlaying_)
        loop.exec();
}

bool TonePlayer::startSequence(const QString &sequence)
{
    if (sequence.isEmpty() || isPlaying_)
        return false;
    return startSamples(synthesiseSequence(sequence, counts_));
}

void TonePlayer::playSamples(std::vector<int16_t> samples)
{
    QEventLoop loop;
    connect(this, &TonePlayer::playbackEnded, &loop, &QEventLoop::quit);
    if (startSamples(std::move(samples)) && isPlaying_)
        loop.exec();
}

bool TonePlayer::startSamples(std::vector<int16_t> samples)
{
    if (samples.empty() || isPlaying_)
        return false;
    setPlaying(true);
    if (const auto failure = queue(std::move(samples)))
        end(false, failure);
    return true;
}

// Open, prepare and write; the rest happens when the output reports the end.
std::optional<TonePlayer::Failure> TonePlayer::queue(std::vector<int16_t> samples)
{
    const QString openFailed = QStringLiteral("1. waveOutOpen failed - ");
    output_ = audio_.createOutput();
    if (!output_)
        return Failure{openFailed, AudioNoDevice};
    if (const int code = output_->open(); code != AudioOk)
        return Failure{openFailed, code};
    const auto sampleCount = static_cast<qint64>(samples.size());
    if (const int code = output_->prepare(std::move(samples)); code != AudioOk)
        return Failure{QStringLiteral("2. waveOutPrepareHeader failed - "), code};
    if (const int code = output_->write(); code != AudioOk)
        return Failure{QStringLiteral("3. waveOutWrite failed - "), code};
    startMs_ = clock_.tickMs();
    connect(output_.get(), &AudioOutput::finished, this, &TonePlayer::outputFinished);
    if (output_->isDone() || output_->playbackError() != AudioOk) {
        // Over before it began: nothing to wait for.
        QTimer::singleShot(0, this, &TonePlayer::outputFinished);
        return std::nullopt;
    }
    const qint64 durationMs = sampleCount * 1000 / static_cast<qint64>(SampleRate);
    deadline_.start(static_cast<int>(std::min<qint64>(durationMs + finishMarginMs_, INT_MAX)));
    return std::nullopt;
}

// The output reported its end, or the deadline passed first.
void TonePlayer::outputFinished()
{
    if (!output_ || !isPlaying_)
        return;
    deadline_.stop();
    if (!output_->isDone()) {
        const int code = output_->playbackError();
        end(false, Failure{QStringLiteral("3. waveOutWrite failed - "),
                           code != AudioOk ? code : AudioNotFinished});
        return;
    }
    elapsedMs_ = static_cast<int>(clock_.tickMs() - startMs_);
    end(true, finishOutput());
}

// Unprepare and close after a complete playback. A failed close leaves nothing to reset.
std::optional<TonePlayer::Failure> TonePlayer::finishOutput()
{
    if (const int code = output_->unprepare(); code != AudioOk)
        return Failure{QStringLiteral("4. waveOutUnPrepareHeader failed - 1 - "), code};
    const int closed = output_->close();
    output_->disconnect(this);
    output_.reset();
    if (closed != AudioOk)
        return Failure{QStringLiteral("5. waveOutClose failed - "), closed};
    return std::nullopt;
}

void TonePlayer::end(bool played, const std::optional<Failure> &failure)
{
    lastSucceeded_ = played;
    ResetWaveOut();
    emit playbackEnded();
    if (failure)
        showFailure(*failure);
}

void TonePlayer::showFailure(const Failure &failure)
{
    messages_.show(messageParent_, MessageIcon::Critical, caption(),
                   failure.prompt + resultCodeText(failure.code));
}

void TonePlayer::ResetWaveOut()
{
    deadline_.stop();
    if (output_) {
        output_->disconnect(this);
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
