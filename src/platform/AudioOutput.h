#pragma once

#include "AudioInput.h"

#include <QList>
#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

namespace keytoner {

// Result codes of the output calls. 0 to 4 are the sound system's own error codes
// (QAudio::Error); the rest are ours.
enum AudioResult : int {
    AudioOk = 0,
    AudioOpenError = 1,
    AudioIOError = 2,
    AudioUnderrunError = 3,
    AudioFatalError = 4,
    AudioNoDevice = 5,    // no default output device
    AudioNotFinished = 6, // the device did not report the end of the buffer in time
    AudioWrongState = 7,  // a call out of order (write before prepare, ...)
};

// One playback on the default sound output: 16-bit signed mono PCM at 8000 samples per second,
// one buffer, played once. The calls follow the classic wave-out sequence: open, prepare,
// write, (wait until isDone), unprepare, close; reset abandons the playback at any point.
// Every call but reset returns an AudioResult.
class AudioOutput : public QObject {
    Q_OBJECT
public:
    ~AudioOutput() override = default;

    virtual int open() = 0;
    // Takes the samples to play; the buffer belongs to the output until unprepare.
    virtual int prepare(std::vector<int16_t> samples) = 0;
    // Starts playing the prepared buffer; returns at once.
    virtual int write() = 0;
    // True once every sample of the buffer has been played out.
    virtual bool isDone() const = 0;
    // A failure that ended the playback after write succeeded, AudioOk otherwise.
    virtual int playbackError() const = 0;
    virtual int unprepare() = 0;
    virtual int close() = 0;
    // Stops at once and releases the device; safe to call in any state.
    virtual void reset() = 0;

signals:
    // The playback ended: isDone() or playbackError() tells how.
    void finished();
};

// The machine's sound outputs and inputs.
class AudioSystem {
public:
    virtual ~AudioSystem() = default;
    virtual int outputDeviceCount() = 0;
    virtual std::unique_ptr<AudioOutput> createOutput() = 0;
    // The inputs, the default one first.
    virtual QList<AudioInputDevice> inputDevices() = 0;
    virtual std::unique_ptr<AudioInput> createInput() = 0;
};

} // namespace keytoner
