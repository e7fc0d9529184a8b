#include "QtAudioInput.h"

#include "AudioOutput.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace keytoner {

namespace {

// Short enough that a decoded digit shows well within a blink of its end, long enough that the
// server does not wake us for every few samples.
constexpr int BufferMs = 40;
constexpr int FallbackRates[] = {48000, 44100, 16000, 8000};

QAudioDevice findInput(const QByteArray &id)
{
    if (id.isEmpty())
        return QMediaDevices::defaultAudioInput();
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const auto found = std::find_if(inputs.begin(), inputs.end(),
                                    [&](const QAudioDevice &device) { return device.id() == id; });
    return found != inputs.end() ? *found : QAudioDevice();
}

QAudioFormat mono16(int rate)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QAudioFormat chooseFormat(const QAudioDevice &device)
{
    const QAudioFormat preferred = device.preferredFormat();
    if (preferred.sampleRate() > 0 && device.isFormatSupported(mono16(preferred.sampleRate())))
        return mono16(preferred.sampleRate());
    for (const int rate : FallbackRates) {
        if (device.isFormatSupported(mono16(rate)))
            return mono16(rate);
    }
    return preferred;
}

// Full scale is 1. Qt's own normalizedSampleValue puts 8-bit silence (128) slightly above 0,
// which the level meter would show as a constant -42 dBFS.
float normalised(const char *sample, QAudioFormat::SampleFormat format)
{
    switch (format) {
    case QAudioFormat::UInt8:
        return (float(static_cast<unsigned char>(*sample)) - 128.0f) / 128.0f;
    case QAudioFormat::Int16: {
        int16_t value;
        std::memcpy(&value, sample, sizeof value);
        return float(value) / 32768.0f;
    }
    case QAudioFormat::Int32: {
        int32_t value;
        std::memcpy(&value, sample, sizeof value);
        return float(double(value) / 2147483648.0);
    }
    case QAudioFormat::Float: {
        float value;
        std::memcpy(&value, sample, sizeof value);
        return std::isfinite(value) ? value : 0.0f;
    }
    default:
        return 0.0f;
    }
}

} // namespace

void appendAsMono16(const char *data, qsizetype frames, const QAudioFormat &format,
                    std::vector<int16_t> &out)
{
    const int channels = std::max(1, format.channelCount());
    const int sampleBytes = format.bytesPerSample();
    out.reserve(out.size() + static_cast<std::size_t>(frames));
    if (channels == 1 && format.sampleFormat() == QAudioFormat::Int16) {
        const std::size_t first = out.size();
        out.resize(first + static_cast<std::size_t>(frames));
        std::memcpy(out.data() + first, data, static_cast<std::size_t>(frames) * sizeof(int16_t));
        return;
    }
    for (qsizetype frame = 0; frame < frames; ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < channels; ++channel)
            sum += normalised(data + (frame * channels + channel) * sampleBytes,
                              format.sampleFormat());
        const float value = std::clamp(sum / float(channels), -1.0f, 1.0f) * 32767.0f;
        out.push_back(static_cast<int16_t>(std::lround(value)));
    }
}

QtAudioInput::~QtAudioInput()
{
    close();
}

int QtAudioInput::open(const QByteArray &deviceId)
{
    if (source_)
        return AudioWrongState;
    const QAudioDevice device = findInput(deviceId);
    if (device.isNull())
        return AudioNoDevice;
    format_ = chooseFormat(device);
    if (!format_.isValid())
        return AudioOpenError;
    source_ = new QAudioSource(device, format_, this);
    source_->setBufferSize(format_.bytesForDuration(BufferMs * 1000));
    connect(source_, &QAudioSource::stateChanged, this, &QtAudioInput::stateChanged);
    stream_ = source_->start();
    if (!stream_ || source_->error() != QAudio::NoError) {
        const int code = stream_ ? int(source_->error()) : int(AudioOpenError);
        close();
        return code;
    }
    connect(stream_, &QIODevice::readyRead, this, &QtAudioInput::readAvailable);
    return AudioOk;
}

void QtAudioInput::close()
{
    if (!source_)
        return;
    source_->disconnect(this);
    if (stream_)
        stream_->disconnect(this);
    source_->stop();
    delete source_;
    source_ = nullptr;
    stream_ = nullptr;
    pending_.clear();
}

void QtAudioInput::readAvailable()
{
    if (!stream_)
        return;
    pending_.append(stream_->readAll());
    const int frameBytes = format_.bytesPerFrame();
    const qsizetype frames = frameBytes > 0 ? pending_.size() / frameBytes : 0;
    if (frames == 0)
        return;
    block_.clear();
    appendAsMono16(pending_.constData(), frames, format_, block_);
    pending_.remove(0, frames * frameBytes);
    emit samplesReady(block_);
}

// The server went away or the device was unplugged: release it and say so once. The source is
// deleted from the event loop, not from inside its own signal.
void QtAudioInput::stateChanged()
{
    if (!source_)
        return;
    const QAudio::Error error = source_->error();
    if (source_->state() != QAudio::StoppedState || error == QAudio::NoError)
        return;
    source_->disconnect(this);
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            close();
            emit failed(int(error));
        },
        Qt::QueuedConnection);
}

} // namespace keytoner
