#include "FakeAudio.h"

namespace keytoner::test {

bool FakeAudioSystem::finishPlayback()
{
    if (!current || !calls.contains(QStringLiteral("write")))
        return false;
    current->end();
    return true;
}

FakeAudioInput *FakeAudioSystem::openInput() const
{
    const auto open = std::find_if(liveInputs.begin(), liveInputs.end(),
                                   [](const FakeAudioInput *input) { return input->isOpen(); });
    return open == liveInputs.end() ? nullptr : *open;
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
