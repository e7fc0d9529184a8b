#pragma once

#include <QObject>

#include <memory>

namespace keytoner {

// One playback on the default sound output: 16-bit signed mono PCM. (To be completed with the
// tone engine.)
class AudioOutput : public QObject {
    Q_OBJECT
public:
    ~AudioOutput() override = default;
};

// The machine's sound outputs.
class AudioSystem {
public:
    virtual ~AudioSystem() = default;
    virtual int outputDeviceCount() = 0;
    virtual std::unique_ptr<AudioOutput> createOutput() = 0;
};

} // namespace keytoner
