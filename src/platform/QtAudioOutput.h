#pragma once

#include "AudioOutput.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QTimer>

class QAudioSink;

namespace keytoner {

// A playback on the default output through QAudioSink. "Done" is decided on the sink's
// processed time, not its Idle state: the sound server reports Idle while the tail of the
// buffer is still queued, and stopping then cuts the last digit.
class QtAudioOutput : public AudioOutput {
    Q_OBJECT
public:
    QtAudioOutput();
    ~QtAudioOutput() override;

    int open() override;
    int prepare(std::vector<int16_t> samples) override;
    int write() override;
    bool isDone() const override { return done_; }
    int playbackError() const override { return error_; }
    int unprepare() override;
    int close() override;
    void reset() override;

    static QAudioFormat pcmFormat();

private:
    void check();
    void feed();
    qsizetype tailBytes() const;
    void finish(int error);

    QAudioSink *sink_ = nullptr;
    QIODevice *stream_ = nullptr;
    QByteArray pcm_;
    qsizetype written_ = 0;
    bool prepared_ = false;
    QTimer checkTimer_;
    bool done_ = false;
    int error_ = AudioOk;
};

class QtAudioSystem : public AudioSystem {
public:
    int outputDeviceCount() override;
    std::unique_ptr<AudioOutput> createOutput() override;
    QList<AudioInputDevice> inputDevices() override;
    std::unique_ptr<AudioInput> createInput() override;
};

} // namespace keytoner
