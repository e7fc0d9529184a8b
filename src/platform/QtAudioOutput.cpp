#include "QtAudioOutput.h"

#include "QtAudioInput.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace keytoner {

namespace {

constexpr int Rate = 8000;
constexpr int BytesPerMs = Rate * 2 / 1000;

// The server's buffer for our stream. Measured on PulseAudio 16 with Qt 6.4 on a null sink:
// asking for 60 ms gets about 45 ms; playback starts within a few ms and, with the tail below,
// ends 25 ms past the ideal end, level with paplay. Asking for 100 ms ends 30 ms later (the
// stream then asks the sink for more latency, which the tail has to cover); asking for 20 ms
// underran between two feeds.
constexpr int BufferMs = 60;
// How often the buffer is topped up: a few feeds per buffer, so that one late timer does no
// harm (checked with both cores busy).
constexpr int FeedMs = 10;
// The server reads ahead of what is audible by the sink latency that the stream asks for
// (its buffer less two requests of 20 ms); what it has read but not yet played is lost when
// the stream closes. So the end counts once that much more, plus a safety margin, is through.
constexpr int ServerRequestMs = 20;
constexpr int SafetyMs = 20;

} // namespace

QtAudioOutput::QtAudioOutput()
{
    checkTimer_.setTimerType(Qt::PreciseTimer);
    connect(&checkTimer_, &QTimer::timeout, this, &QtAudioOutput::check);
}

QtAudioOutput::~QtAudioOutput()
{
    reset();
}

QAudioFormat QtAudioOutput::pcmFormat()
{
    QAudioFormat format;
    format.setSampleRate(Rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

int QtAudioOutput::open()
{
    if (sink_)
        return AudioWrongState;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return AudioNoDevice;
    if (!device.isFormatSupported(pcmFormat()))
        return AudioOpenError;
    sink_ = new QAudioSink(device, pcmFormat(), this);
    sink_->setBufferSize(BufferMs * BytesPerMs);
    return sink_->error();
}

int QtAudioOutput::prepare(std::vector<int16_t> samples)
{
    if (!sink_ || prepared_)
        return AudioWrongState;
    pcm_ = QByteArray(reinterpret_cast<const char *>(samples.data()),
                      static_cast<qsizetype>(samples.size() * sizeof(int16_t)));
    written_ = 0;
    prepared_ = true;
    return AudioOk;
}

int QtAudioOutput::write()
{
    if (!sink_ || !prepared_ || stream_)
        return AudioWrongState;
    done_ = false;
    error_ = AudioOk;
    stream_ = sink_->start();
    const QAudio::Error error = sink_->error();
    if (!stream_ || (error != QAudio::NoError && error != QAudio::UnderrunError))
        return error != QAudio::NoError ? int(error) : int(AudioOpenError);
    feed();
    checkTimer_.start(FeedMs);
    return AudioOk;
}

// Keeps the server's buffer full: the samples first, then silence, so that the stream keeps
// running (and its read position keeps moving) until the last sample is through.
void QtAudioOutput::feed()
{
    qsizetype free = sink_->bytesFree();
    while (free > 0) {
        QByteArray chunk;
        if (written_ < pcm_.size())
            chunk = pcm_.mid(written_, std::min(free, pcm_.size() - written_));
        else
            chunk = QByteArray(free, '\0');
        const qint64 n = stream_->write(chunk);
        if (n <= 0)
            break;
        written_ += n;
        free -= n;
    }
}

void QtAudioOutput::check()
{
    if (!sink_ || !stream_ || done_ || error_ != AudioOk)
        return;
    const QAudio::Error error = sink_->error();
    if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError) {
        finish(error);
        return;
    }
    feed();
    // Just topped up, the server holds its whole buffer of ours; the rest has been read.
    const qsizetype queued = std::max<qsizetype>(0, sink_->bufferSize() - sink_->bytesFree());
    const qsizetype played = written_ - queued;
    if (played >= pcm_.size() + tailBytes())
        finish(AudioOk);
}

qsizetype QtAudioOutput::tailBytes() const
{
    const qsizetype sinkLatency =
        std::max<qsizetype>(0, sink_->bufferSize() - 2 * ServerRequestMs * BytesPerMs);
    return sinkLatency + SafetyMs * BytesPerMs;
}

void QtAudioOutput::finish(int error)
{
    checkTimer_.stop();
    error_ = error;
    done_ = error == AudioOk;
    emit finished();
}

int QtAudioOutput::unprepare()
{
    if (!sink_ || !prepared_)
        return AudioWrongState;
    checkTimer_.stop();
    sink_->stop();
    stream_ = nullptr;
    pcm_.clear();
    prepared_ = false;
    return AudioOk;
}

int QtAudioOutput::close()
{
    if (!sink_)
        return AudioWrongState;
    delete sink_;
    sink_ = nullptr;
    return AudioOk;
}

void QtAudioOutput::reset()
{
    checkTimer_.stop();
    if (sink_) {
        sink_->reset();
        delete sink_;
        sink_ = nullptr;
    }
    stream_ = nullptr;
    prepared_ = false;
}

int QtAudioSystem::outputDeviceCount()
{
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

std::unique_ptr<AudioOutput> QtAudioSystem::createOutput()
{
    return std::make_unique<QtAudioOutput>();
}

QList<AudioInputDevice> QtAudioSystem::inputDevices()
{
    QList<AudioInputDevice> devices;
    const QAudioDevice preferred = QMediaDevices::defaultAudioInput();
    for (const QAudioDevice &device : QMediaDevices::audioInputs()) {
        const bool isDefault = !preferred.isNull() && device.id() == preferred.id();
        const AudioInputDevice entry{device.id(), device.description(), isDefault};
        if (isDefault)
            devices.prepend(entry);
        else
            devices.append(entry);
    }
    return devices;
}

std::unique_ptr<AudioInput> QtAudioSystem::createInput()
{
    return std::make_unique<QtAudioInput>();
}

} // namespace keytoner
