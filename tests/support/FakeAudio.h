#pragma once

#include "platform/AudioOutput.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>

namespace keytoner::test {

// What the fake outputs do. Each result is returned by its call; the playback ends `finishMs`
// after write (0: on the next turn of the event loop), as planned by `ending`.
struct FakeAudioPlan {
    // FailsWhilePlaying ends with AudioIOError.
    enum Ending { Finishes, FinishedAtWrite, NeverFinishes, FailsWhilePlaying };
    int openResult = AudioOk;
    int prepareResult = AudioOk;
    int writeResult = AudioOk;
    int unprepareResult = AudioOk;
    int closeResult = AudioOk;
    Ending ending = Finishes;
    int finishMs = 0;
};

class FakeAudioOutput;
class FakeAudioInput;

// Records every output call (in `calls`, e.g. "open", "prepare", "write", "unprepare",
// "close", "reset", "destroyed") and the sample buffers written, and answers by `plan`.
// With `noOutput` set, createOutput returns null (no sound system at all).
class FakeAudioSystem : public AudioSystem {
public:
    int outputDeviceCount() override { return deviceCount; }
    std::unique_ptr<AudioOutput> createOutput() override;
    QList<AudioInputDevice> inputDevices() override { return inputs; }
    std::unique_ptr<AudioInput> createInput() override;

    // Number of outputs alive now (created and not yet destroyed).
    int liveOutputs() const { return live; }
    // Ends the playback under way now, whatever the plan's time; false when none is.
    bool finishPlayback();

    int deviceCount = 1;
    bool noOutput = false;
    FakeAudioPlan plan;
    QStringList calls;
    QList<std::vector<int16_t>> written;
    int created = 0;
    int live = 0;
    FakeAudioOutput *current = nullptr; // the output alive now

    // Inputs: the list offered, the answer to open, the rate, and the inputs alive now (each
    // records "input open ID" and "input close" in `calls`).
    QList<AudioInputDevice> inputs = {
        {QByteArrayLiteral("mic"), QStringLiteral("Microphone"), true},
        {QByteArrayLiteral("line"), QStringLiteral("Line in"), false}};
    int inputOpenResult = AudioOk;
    int inputRate = 8000;
    QList<FakeAudioInput *> liveInputs;
    // The one input open now, or null.
    FakeAudioInput *openInput() const;
};

class FakeAudioOutput : public AudioOutput {
    Q_OBJECT
public:
    explicit FakeAudioOutput(FakeAudioSystem &system) : system_(system)
    {
        ++system_.created;
        ++system_.live;
        system_.current = this;
    }
    ~FakeAudioOutput() override
    {
        --system_.live;
        if (system_.current == this)
            system_.current = nullptr;
        system_.calls.append(QStringLiteral("destroyed"));
    }

    int open() override { return record("open", system_.plan.openResult); }
    int prepare(std::vector<int16_t> samples) override
    {
        const int result = record("prepare", system_.plan.prepareResult);
        if (result == AudioOk)
            system_.written.append(std::move(samples));
        return result;
    }
    int write() override
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
    bool isDone() const override { return done_; }
    int playbackError() const override { return error_; }
    int unprepare() override { return record("unprepare", system_.plan.unprepareResult); }
    int close() override { return record("close", system_.plan.closeResult); }
    void reset() override { record("reset", AudioOk); }
    // The playback ends now, as the plan says it ends.
    void end()
    {
        if (done_ || error_ != AudioOk)
            return;
        if (system_.plan.ending == FakeAudioPlan::FailsWhilePlaying)
            error_ = AudioIOError;
        else
            done_ = true;
        emit finished();
    }

private:
    int record(const char *call, int result)
    {
        system_.calls.append(QLatin1String(call));
        return result;
    }

    FakeAudioSystem &system_;
    bool done_ = false;
    int error_ = AudioOk;
};

// A capture that delivers only what a test feeds it.
class FakeAudioInput : public AudioInput {
    Q_OBJECT
public:
    explicit FakeAudioInput(FakeAudioSystem &system) : system_(system)
    {
        system_.liveInputs.append(this);
    }
    ~FakeAudioInput() override
    {
        close();
        system_.liveInputs.removeOne(this);
    }

    int open(const QByteArray &deviceId) override
    {
        system_.calls.append(QStringLiteral("input open ") + QString::fromUtf8(deviceId));
        open_ = system_.inputOpenResult == AudioOk;
        return system_.inputOpenResult;
    }
    void close() override
    {
        if (open_)
            system_.calls.append(QStringLiteral("input close"));
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    int sampleRate() const override { return system_.inputRate; }

    // Delivers the samples in blocks of `blockSize`, as a device would; nothing when closed.
    void feed(const std::vector<int16_t> &samples, std::size_t blockSize = 512)
    {
        for (std::size_t start = 0; open_ && start < samples.size(); start += blockSize) {
            const auto end =
                samples.begin() + std::ptrdiff_t(std::min(samples.size(), start + blockSize));
            emit samplesReady(std::vector<int16_t>(samples.begin() + std::ptrdiff_t(start), end));
        }
    }
    // The device goes away: closes and reports `code`.
    void fail(int code)
    {
        close();
        emit failed(code);
    }

private:
    FakeAudioSystem &system_;
    bool open_ = false;
};

} // namespace keytoner::test
