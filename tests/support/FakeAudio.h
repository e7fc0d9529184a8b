#pragma once

#include "platform/AudioOutput.h"

#include <QList>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace keytoner::test {

// What the fake outputs do. Each result is returned by its call; the playback
// ends `finishMs` after write (0: on the next turn of the event loop), as
// planned by `ending`.
struct FakeAudioPlan {
    enum Ending { Finishes, FinishedAtWrite, NeverFinishes, FailsWhilePlaying };
    int openResult = AudioOk;
    int prepareResult = AudioOk;
    int writeResult = AudioOk;
    int unprepareResult = AudioOk;
    int closeResult = AudioOk;
    Ending ending = Finishes;
    int finishMs = 0;
    int playbackError = AudioIOError; // for FailsWhilePlaying
};

class FakeAudioOutput;
class FakeAudioInput;

// Records every output call (in `calls`, e.g. "open", "prepare", "write",
// "unprepare", "close", "reset", "destroyed") and the sample buffers written,
// and answers by `plan`. With `noOutput` set, createOutput returns null (no
// sound system at all).
class FakeAudioSystem : public AudioSystem {
public:
    int outputDeviceCount() override { return deviceCount; }
    std::unique_ptr<AudioOutput> createOutput() override;
    QList<AudioInputDevice> inputDevices() override { return inputs; }
    std::unique_ptr<AudioInput> createInput() override;

    // Number of outputs alive now (created and not yet destroyed).
    int liveOutputs() const { return live; }
    // Ends the playback under way now, whatever the plan's time; false when none
    // is.
    bool finishPlayback();

    int deviceCount = 1;
    bool noOutput = false;
    FakeAudioPlan plan;
    QStringList calls;
    QList<std::vector<int16_t>> written;
    int created = 0;
    int live = 0;
    FakeAudioOutput *current = nullptr; // the output alive now

    // Inputs: the list offered, the answer to open, the rate, and the inputs
    // alive now (each records "input open ID" and "input close" in `calls`).
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
    explicit FakeAudioOutput(FakeAudioSystem &system);
    ~FakeAudioOutput() override;

    int open() override { return record("open", system_.plan.openResult); }
    int prepare(std::vector<int16_t> samples) override;
    int write() override;
    bool isDone() const override { return done_; }
    int playbackError() const override { return error_; }
    int unprepare() override { return record("unprepare", system_.plan.unprepareResult); }
    int close() override { return record("close", system_.plan.closeResult); }
    void reset() override { record("reset", AudioOk); }
    // The playback ends now, as the plan says it ends.
    void end();

private:
    int record(const char *call, int result);

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
    ~FakeAudioInput() override;

    int open(const QByteArray &deviceId) override;
    void close() override;
    bool isOpen() const override { return open_; }
    int sampleRate() const override { return system_.inputRate; }

    // Delivers the samples in blocks of `blockSize`, as a device would; nothing
    // when closed.
    void feed(const std::vector<int16_t> &samples, std::size_t blockSize = 512);
    // The device goes away: closes and reports `code`.
    void fail(int code);

private:
    FakeAudioSystem &system_;
    bool open_ = false;
};

} // namespace keytoner::test
