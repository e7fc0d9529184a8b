#include "FakeAudio.h"

#include <QTimer>
#include <algorithm>

namespace keytoner::test {

FakeAudioOutput::FakeAudioOutput(FakeAudioSystem &system) : system_(system)
{
    ++system_.created;
    ++system_.live;
    system_.current = this;
}

FakeAudioOutput::~FakeAudioOutput()
{
    --system_.live;
    if (system_.current == this)
        system_.current = nullptr;
    system_.calls.append(QStringLiteral("destroyed"));
}

int FakeAudioOutput::record(const QString &call, int result)
{
    system_.calls.append(call);
    return result;
}

int FakeAudioOutput::open()
{
    return record(QStringLiteral("open"), system_.plan.openResult);
}

int FakeAudioOutput::prepare(std::vector<int16_t> samples)
{
    const int result = record(QStringLiteral("prepare"), system_.plan.prepareResult);
    if (result == AudioOk)
        system_.written.append(std::move(samples));
    return result;
}

int FakeAudioOutput::write()
{
    const int result = record(QStringLiteral("write"), system_.plan.writeResult);
    if (result != AudioOk)
        return result;
    switch (system_.plan.ending) {
    case FakeAudioPlan::FinishedAtWrite:
        done_ = true;
        break;
    case FakeAudioPlan::Finishes:
    case FakeAudioPlan::FailsWhilePlaying:
        QTimer::singleShot(system_.plan.finishMs, this, &FakeAudioOutput::end);
        break;
    case FakeAudioPlan::NeverFinishes:
        break;
    }
    return result;
}

void FakeAudioOutput::end()
{
    if (done_ || error_ != AudioOk)
        return;
    if (system_.plan.ending == FakeAudioPlan::FailsWhilePlaying)
        error_ = system_.plan.playbackError;
    else
        done_ = true;
    emit finished();
}

int FakeAudioOutput::unprepare()
{
    return record(QStringLiteral("unprepare"), system_.plan.unprepareResult);
}

int FakeAudioOutput::close()
{
    return record(QStringLiteral("close"), system_.plan.closeResult);
}

void FakeAudioOutput::reset()
{
    record(QStringLiteral("reset"), AudioOk);
}

bool FakeAudioSystem::finishPlayback()
{
    if (!current || !calls.contains(QStringLiteral("write")))
        return false;
    current->end();
    return true;
}

FakeAudioInput::FakeAudioInput(FakeAudioSystem &system) : system_(system)
{
    system_.liveInputs.append(this);
}

FakeAudioInput::~FakeAudioInput()
{
    close();
    system_.liveInputs.removeOne(this);
}

int FakeAudioInput::open(const QByteArray &deviceId)
{
    system_.calls.append(QStringLiteral("input open ") + QString::fromUtf8(deviceId));
    open_ = system_.inputOpenResult == AudioOk;
    return system_.inputOpenResult;
}

void FakeAudioInput::close()
{
    if (!open_)
        return;
    open_ = false;
    system_.calls.append(QStringLiteral("input close"));
}

int FakeAudioInput::sampleRate() const
{
    return system_.inputRate;
}

void FakeAudioInput::feed(const std::vector<int16_t> &samples, std::size_t blockSize)
{
    for (std::size_t start = 0; open_ && start < samples.size(); start += blockSize) {
        const auto end =
            samples.begin() + std::ptrdiff_t(std::min(samples.size(), start + blockSize));
        emit samplesReady(std::vector<int16_t>(samples.begin() + std::ptrdiff_t(start), end));
    }
}

void FakeAudioInput::fail(int code)
{
    close();
    emit failed(code);
}

FakeAudioInput *FakeAudioSystem::openInput() const
{
    for (FakeAudioInput *input : liveInputs) {
        if (input->isOpen())
            return input;
    }
    return nullptr;
}

std::unique_ptr<AudioInput> FakeAudioSystem::createInput()
{
    return std::make_unique<FakeAudioInput>(*this);
}

std::unique_ptr<AudioOutput> FakeAudioSystem::createOutput()
{
    if (noOutput)
        return nullptr;
    return std::make_unique<FakeAudioOutput>(*this);
}

} // namespace keytoner::test
