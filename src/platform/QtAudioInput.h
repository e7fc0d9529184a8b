#pragma once

#include "AudioInput.h"

#include <QAudioFormat>

class QAudioSource;
class QIODevice;

namespace keytoner {

// A capture through QAudioSource. Asks for 16-bit mono at the device's own rate (no resampling
// in the sound server); a device that offers neither is taken in its preferred format and
// mixed down to 16-bit mono here.
class QtAudioInput : public AudioInput {
    Q_OBJECT
public:
    QtAudioInput() = default;
    ~QtAudioInput() override;

    int open(const QByteArray &deviceId) override;
    void close() override;
    bool isOpen() const override { return source_ != nullptr; }
    int sampleRate() const override { return format_.sampleRate(); }

private:
    void readAvailable();
    void stateChanged();

    QAudioSource *source_ = nullptr;
    QIODevice *stream_ = nullptr;
    QAudioFormat format_;
    QByteArray pending_; // an incomplete frame left from the last read
    std::vector<int16_t> block_;
};

// Frames of `format` to 16-bit mono (the mean of the channels), appended to `out`.
void appendAsMono16(const char *data, qsizetype frames, const QAudioFormat &format,
                    std::vector<int16_t> &out);

} // namespace keytoner
