#include "support/FakeAudio.h"
#include "support/FakePlatform.h"
#include "support/QtApplication.h"
#include "tone/Synthesis.h"
#include "tone/TonePlayer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace keytoner;
using namespace keytoner::test;

namespace {

// Tick readings handed out in turn, so that ElapsedMs is exact.
class ScriptedClock : public FakeClock {
public:
    qint64 tickMs() override { return ticks.isEmpty() ? 0 : ticks.takeFirst(); }
    QList<qint64> ticks;
};

class TonePlayerTest : public ::testing::Test {
protected:
    TonePlayerTest()
    {
        player.setDigitTime(0.060);
        player.setGapTime(0.040);
        player.setSequencePauseTime(0.300);
        player.SetToneTiming();
    }

    const bool hasApplication = (ensureApplication(), true); // the player waits in event loops
    FakeAudioSystem audio;
    FakeMessageBoxes messages;
    ScriptedClock clock;
    TonePlayer player{audio, messages, clock};
};

} // namespace

// The counts of the timing set above (480, 320, 2400) are in the synthesis it writes. The Morse
// preview's way out plays the samples as given, through the same device calls. Nothing to play
// opens nothing and leaves the last time standing.
TEST_F(TonePlayerTest, PlaysSequencesAndSamplesAndReleasesTheDevice)
{
    clock.ticks = {1000, 2562};
    QList<bool> playing;
    QObject::connect(&player, &TonePlayer::playingChanged, [&](bool on) { playing.append(on); });
    player.SuonaSequenza(QStringLiteral("12 3"));
    EXPECT_EQ(audio.calls,
              QStringList({"open", "prepare", "write", "unprepare", "close", "destroyed"}));
    EXPECT_EQ(player.ElapsedMs(), 1562);
    EXPECT_TRUE(player.lastPlaybackSucceeded());
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(playing, QList<bool>({true, false}));
    EXPECT_TRUE(messages.shown.isEmpty());
    audio.calls.clear();
    clock.ticks = {0, 40};
    const std::vector<int16_t> samples{0, 1000, -1000, 0};
    player.playSamples(samples);
    EXPECT_EQ(audio.calls,
              QStringList({"open", "prepare", "write", "unprepare", "close", "destroyed"}));
    EXPECT_EQ(audio.written,
              (QList{synthesiseSequence(QStringLiteral("12 3"), {480, 320, 2400}), samples}));
    EXPECT_TRUE(player.lastPlaybackSucceeded());
    EXPECT_FALSE(player.startSamples({}));
    player.SuonaSequenza(QString());
    EXPECT_EQ(audio.created, 2);
    EXPECT_EQ(player.ElapsedMs(), 40);
    EXPECT_FALSE(player.IsPlaying());
}

// While a sequence plays, events keep flowing and a second one is refused; a device that never
// finishes is given up after the sound's duration and the margin.
TEST_F(TonePlayerTest, WhilePlaying)
{
    audio.plan.finishMs = 50;
    bool wasPlaying = false;
    QTimer::singleShot(5, [&] {
        wasPlaying = player.IsPlaying();
        player.SuonaSequenza(QStringLiteral("2"));
    });
    player.SuonaSequenza(QStringLiteral("1"));
    EXPECT_TRUE(wasPlaying);
    EXPECT_EQ(std::tuple(audio.created, audio.written.size(), player.lastPlaybackSucceeded()),
              std::tuple(1, 1, true));
    audio.plan.ending = FakeAudioPlan::NeverFinishes;
    player.setFinishMargin(100);
    QElapsedTimer timer;
    timer.start();
    player.SuonaSequenza(QStringLiteral("1")); // 60 ms of sound
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_FALSE(player.IsPlaying());
}

// Each device call that fails is reported with its number and result. The player returns to
// idle and lets the device go, reset unless it closed or none could be made; a failure before
// the sound leaves the last playing time standing. The next playback, on a fresh device that is
// done at its write, needs no wait.
TEST_F(TonePlayerTest, FailuresAreReportedAndTheNextPlaybackWorks)
{
    const struct {
        void (*arrange)(FakeAudioSystem &);
        const char *message;
        bool played;
        bool reset; // the device, before it is let go
    } cases[] = {
        {[](FakeAudioSystem &a) { a.plan.openResult = 2; }, "1. waveOutOpen failed -  2", false,
         true},
        {[](FakeAudioSystem &a) { a.noOutput = true; }, "1. waveOutOpen failed -  5", false, false},
        {[](FakeAudioSystem &a) { a.plan.prepareResult = 7; },
         "2. waveOutPrepareHeader failed -  7", false, true},
        {[](FakeAudioSystem &a) { a.plan.writeResult = 4; }, "3. waveOutWrite failed -  4", false,
         true},
        {[](FakeAudioSystem &a) { a.plan.ending = FakeAudioPlan::FailsWhilePlaying; },
         "3. waveOutWrite failed -  2", false, true},
        {[](FakeAudioSystem &a) { a.plan.ending = FakeAudioPlan::NeverFinishes; },
         "3. waveOutWrite failed -  6", false, true},
        {[](FakeAudioSystem &a) { a.plan.unprepareResult = 1; },
         "4. waveOutUnPrepareHeader failed - 1 -  1", true, true},
        {[](FakeAudioSystem &a) { a.plan.closeResult = -3; }, "5. waveOutClose failed - -3", true,
         false},
    };
    player.setFinishMargin(30);
    clock.ticks = {0, 60};
    player.SuonaSequenza(QStringLiteral("1"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        c.arrange(audio);
        messages.shown.clear();
        audio.calls.clear();
        clock.ticks = {100, 400};
        player.SuonaSequenza(QStringLiteral("1"));
        ASSERT_EQ(messages.shown.size(), 1);
        const ShownMessage &shown = messages.shown[0];
        EXPECT_EQ(std::tuple(shown.icon, shown.title, shown.text),
                  std::tuple(MessageIcon::Critical, " SuonaSequenza", c.message));
        EXPECT_EQ(std::tuple(player.IsPlaying(), audio.liveOutputs(),
                             player.lastPlaybackSucceeded(), player.ElapsedMs()),
                  std::tuple(false, 0, c.played, c.played ? 300 : 60));
        EXPECT_EQ(audio.calls.contains("reset"), c.reset);

        audio.plan = FakeAudioPlan{.ending = FakeAudioPlan::FinishedAtWrite};
        audio.noOutput = false;
        messages.shown.clear();
        clock.ticks = {0, 60};
        player.SuonaSequenza(QStringLiteral("1"));
        EXPECT_EQ(
            std::tuple(messages.shown.size(), player.lastPlaybackSucceeded(), player.ElapsedMs()),
            std::tuple(0, true, 60));
    }
}
