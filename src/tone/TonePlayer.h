#pragma once

#include "Synthesis.h"

#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace keytoner {

class AudioOutput;
class AudioSystem;
class MessageBoxes;
class Clock;

// modTone: the DTMF player. Lays out and synthesises a whole sequence into one buffer, plays it
// on the default sound output and returns when every sample has been played. Reports its own
// failures in message boxes captioned " SuonaSequenza".
class TonePlayer : public QObject {
    Q_OBJECT
public:
    TonePlayer(AudioSystem &audio, MessageBoxes &messages, Clock &clock);
    ~TonePlayer() override;

    // Parent of the failure boxes (the main window); may stay null.
    void setMessageParent(QWidget *parent) { messageParent_ = parent; }

    // Durations in seconds, as the sender stores them before SetToneTiming.
    double DigitTime = 0.0;
    double GapTime = 0.0;
    double SequencePauseTime = 0.0;
    void SetToneTiming();
    const SampleCounts &sampleCounts() const { return counts_; }
    int DigitSamples() const { return counts_.digit; }
    int GapSamples() const { return counts_.gap; }
    int SequencePauseSamples() const { return counts_.pause; }

    // Plays the sequence and returns when it has been played or has failed. Meanwhile the
    // event loop runs (without spinning); a call made then returns at once.
    void SuonaSequenza(const QString &sequence);
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

private:
    bool play(const QString &sequence);
    bool waitUntilDone(qint64 sampleCount);
    void fail(const QString &prompt, int code);
    void setPlaying(bool playing);

    AudioSystem &audio_;
    MessageBoxes &messages_;
    Clock &clock_;
    QWidget *messageParent_ = nullptr;
    std::unique_ptr<AudioOutput> output_;
    SampleCounts counts_;
    int finishMarginMs_ = DefaultFinishMarginMs;
    bool isPlaying_ = false;
    int elapsedMs_ = 0;
    bool lastSucceeded_ = false;
};

// A result code as the failure messages show it: decimal, a blank in place of a plus sign.
QString resultCodeText(int code);

} // namespace keytoner
