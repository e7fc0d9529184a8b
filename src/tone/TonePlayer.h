#pragma once

#include "Synthesis.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

class QWidget;

namespace keytoner {

class AudioOutput;
class AudioSystem;
class MessageBoxes;
class Clock;

// modTone: the DTMF player. Lays out and synthesises a whole sequence into one buffer and plays
// it on the default sound output. The end of the playback is announced by playbackEnded(), from
// the output's own completion signal, whatever else the program is doing at that moment (a
// modal box open, an exchange waiting). Reports its own failures in message boxes captioned
// " SuonaSequenza", after the end has been announced, so that whoever keys a transmitter around
// the tones can let go of it before the user is asked to read anything.
class TonePlayer : public QObject {
    Q_OBJECT
public:
    TonePlayer(AudioSystem &audio, MessageBoxes &messages, Clock &clock);
    ~TonePlayer() override;

    // Parent of the failure boxes (the main window); may stay null.
    void setMessageParent(QWidget *parent) { messageParent_ = parent; }

    // Durations in seconds, as the sender stores them before SetToneTiming.
    void setDigitTime(double seconds) { digitTime_ = seconds; }
    void setGapTime(double seconds) { gapTime_ = seconds; }
    void setSequencePauseTime(double seconds) { sequencePauseTime_ = seconds; }
    double DigitTime() const { return digitTime_; }
    double GapTime() const { return gapTime_; }
    double SequencePauseTime() const { return sequencePauseTime_; }
    void SetToneTiming();
    const SampleCounts &sampleCounts() const { return counts_; }

    // Starts playing the sequence and returns once the audio is queued; playbackEnded() follows
    // when it has been played or has failed (before this returns, when it failed at once).
    // False, with nothing done, for an empty sequence or while a playback runs.
    bool startSequence(const QString &sequence);
    // Plays the sequence and returns when it has been played or has failed, running the event
    // loop meanwhile (without spinning); a call made then returns at once. For callers with no
    // window to keep responsive (the command line); the window uses startSequence.
    void SuonaSequenza(const QString &sequence);
    // The same for prepared 8000 Hz samples (the Morse preview), failures reported as for a
    // sequence: startSamples for the window, playSamples for the command line.
    bool startSamples(std::vector<int16_t> samples);
    void playSamples(std::vector<int16_t> samples);
    void ResetWaveOut();

    bool IsPlaying() const { return isPlaying_; }
    int ElapsedMs() const { return elapsedMs_; }
    // Whether the last call of SuonaSequenza that got past its start played every sample.
    bool lastPlaybackSucceeded() const { return lastSucceeded_; }

    // How long past the buffer's own duration the wait goes on before the device is given up.
    void setFinishMargin(int ms) { finishMarginMs_ = ms; }
    static constexpr int DefaultFinishMarginMs = 3000;

    static QString caption() { return QStringLiteral(" SuonaSequenza"); }

signals:
    void playingChanged(bool playing);
    // Once for every startSequence or startSamples that returned true, with IsPlaying already
    // false.
    void playbackEnded();

private:
    // Failure boxes wait until the end has been announced.
    struct Failure {
        QString prompt;
        int code = 0;
    };

    std::optional<Failure> queue(std::vector<int16_t> samples);
    void outputFinished();
    std::optional<Failure> finishOutput();
    void end(bool played, const std::optional<Failure> &failure);
    void showFailure(const Failure &failure);
    void setPlaying(bool playing);

    AudioSystem &audio_;
    MessageBoxes &messages_;
    Clock &clock_;
    QWidget *messageParent_ = nullptr;
    std::unique_ptr<AudioOutput> output_;
    // Gives up on a device that never reports the end of the buffer.
    QTimer deadline_;
    qint64 startMs_ = 0;
    double digitTime_ = 0.0;
    double gapTime_ = 0.0;
    double sequencePauseTime_ = 0.0;
    SampleCounts counts_;
    int finishMarginMs_ = DefaultFinishMarginMs;
    bool isPlaying_ = false;
    int elapsedMs_ = 0;
    bool lastSucceeded_ = false;
};

// A result code as the failure messages show it: decimal, a blank in place of a plus sign.
QString resultCodeText(int code);

} // namespace keytoner
