#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace keytoner {

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

    void SuonaSequenza(const QString &sequence);

    bool IsPlaying() const { return isPlaying_; }
    int ElapsedMs() const { return elapsedMs_; }
    // Whether the last call of SuonaSequenza that got past its start played every sample.
    bool lastPlaybackSucceeded() const { return lastSucceeded_; }

private:
    AudioSystem &audio_;
    MessageBoxes &messages_;
    Clock &clock_;
    QWidget *messageParent_ = nullptr;
    bool isPlaying_ = false;
    int elapsedMs_ = 0;
    bool lastSucceeded_ = false;
};

} // namespace keytoner
