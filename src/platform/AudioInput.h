#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

namespace keytoner {

// One sound input as the system lists it. `id` opens it again; an empty id means the default.
struct AudioInputDevice {
    QByteArray id;
    QString description;
    bool isDefault = false;
};

// A live capture from one input: 16-bit signed mono samples at the rate the device runs at,
// delivered in blocks as they arrive. The device is held from open until close (or until the
// object is destroyed).
class AudioInput : public QObject {
    Q_OBJECT
public:
    ~AudioInput() override = default;

    // Opens the input with the given id (empty: the default input) and starts capturing.
    // Returns an AudioResult (AudioOutput.h).
    virtual int open(const QByteArray &deviceId) = 0;
    // Stops capturing and releases the device; safe in any state.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Samples per second of the blocks; valid once open succeeded.
    virtual int sampleRate() const = 0;

signals:
    // A block of samples, oldest first. The vector is only valid during the call.
    void samplesReady(const std::vector<int16_t> &samples);
    // The device stopped delivering (unplugged, server gone); the input is closed by then.
    void failed(int code);
};

} // namespace keytoner
