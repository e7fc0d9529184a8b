#pragma once

#include "platform/AudioOutput.h"

#include <QList>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace keytoner::test {

// What the fake outputs do. Each result is returned by its call; the playback ends `finishMs`
// after write (0: on the next turn of the event loop), as planned by `ending`.
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

class FakeAudioSystem;

class FakeAudioOutput : public AudioOutput {
    Q_OBJECT
public:
    explicit FakeAudioOutput(FakeAudioSystem &system);
    ~FakeAudioOutput() override;

    int open() override;
    int prepare(std::vector<int16_t> samples) override;
    int write() override;
    bool isDone() const override { return done_; }
    int playbackError() const override { return error_; }
    int unprepare() override;
    int close() override;
    void reset() override;
    // The playback ends now, as the plan says it ends.
    void end();

private:
    int record(const QString &call, int result);

    FakeAudioSystem &system_;
    bool done_ = false;
    int error_ = AudioOk;
};

// Records every output call (in `calls`, e.g. "open", "prepare", "write", "unprepare",
// "close", "reset", "destroyed") and the sample buffers written, and answers by `plan`.
// With `noOutput` set, createOutput returns null (no sound system at all).
class FakeAudioSystem : public AudioSystem {
public:
    int outputDeviceCount() override { return deviceCount; }
    std::unique_ptr<AudioOutput> createOutput() override;

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
};

} // namespace keytoner::test
