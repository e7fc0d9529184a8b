#include "LiveInput.h"

#include <QAudioSource>
#include <QMediaDevices>
#include <cstring>

namespace keytoner::cli {

std::optional<QAudioDevice> LiveInput::find(const QString &name)
{
    if (name.isEmpty()) {
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        return device.isNull() ? std::nullopt : std::optional(device);
    }
    for (const QAudioDevice &device : QMediaDevices::audioInputs()) {
        if (device.description() == name || QString::fromUtf8(device.id()) == name)
            return device;
    }
    return std::nullopt;
}

QStringList LiveInput::names()
{
    QStringList list;
    for (const QAudioDevice &device : QMediaDevices::audioInputs())
        list << QString::fromUtf8(device.id()) + QStringLiteral(" (") + device.description() +
                    QLatin1Char(')');
    return list;
}

LiveInput::LiveInput(const QAudioDevice &device)
{
    QAudioFormat format;
    const int preferred = device.preferredFormat().sampleRate();
    format.setSampleRate(preferred > 0 ? preferred : 48000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    source_ = std::make_unique<QAudioSource>(device, format);
    // Small blocks keep what is heard close to when it was heard.
    source_->setBufferSize(format.bytesForDuration(40000));
}

LiveInput::~LiveInput()
{
    if (source_)
        source_->stop();
}

int LiveInput::sampleRate() const
{
    return source_->format().sampleRate();
}

bool LiveInput::start()
{
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError)
        return false;
    connect(io_, &QIODevice::readyRead, this, &LiveInput::read);
    connect(source_.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && source_->error() != QAudio::NoError)
            emit failed(QStringLiteral("The sound input failed (error %1).")
                            .arg(static_cast<int>(source_->error())));
    });
    return true;
}

void LiveInput::read()
{
    // A read may end inside a sample; its first byte waits for the next read.
    pending_ += io_->readAll();
    std::vector<int16_t> block(static_cast<std::size_t>(pending_.size()) / sizeof(int16_t));
    std::memcpy(block.data(), pending_.constData(), block.size() * sizeof(int16_t));
    pending_.remove(0, static_cast<qsizetype>(block.size() * sizeof(int16_t)));
    if (!block.empty())
        emit samples(block);
}

} // namespace keytoner::cli
