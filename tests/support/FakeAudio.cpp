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

int FakeAudioOutput::record(const char *call, int result)
{
    system_.calls.append(QLatin1String(call));
    return result;
}

int FakeAudioOutput::prepare(std::vector<int16_t> samples)
{
    const int result = record("prepare", system_.plan.prepareResult);
    if (result == AudioOk)
        system_.written.append(std::move(samples));
    return result;
}

int FakeAudioOutput::write()
{
    const int result = record("write", system_.plan.writeResult);
    if (result != AudioOk || system_.plan.ending == FakeAudioPlan::NeverFinishes)
        return result;
    if (system_.plan.ending == FakeAudioPlan::FinishedAtWrite)
        done_ = true;
    else
        QTimer::singleShot(system_.plan.finishMs, this, &FakeAudioOutput::end);
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

bool FakeAudioSystem::finishPlayback()
{
    if (!current || !calls.contains(QStringLiteral("write")))
        return false;
    current->end();
    return true;
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
    if (open_)
        system_.calls.append(QStringLiteral("input close"));
    open_ = false;
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
    return noOutput ? nullptr : std::make_unique<FakeAudioOutput>(*this);
}

} // namespace keytoner::test
