#include "platform/QtAudioOutput.h"

#include <gtest/gtest.h>

using namespace keytoner;

TEST(QtAudioOutput, PlaysSixteenBitMonoAtEightKilohertz)
{
    const QAudioFormat format = QtAudioOutput::pcmFormat();
    EXPECT_EQ(format.sampleRate(), 8000);
    EXPECT_EQ(format.channelCount(), 1);
    EXPECT_EQ(format.sampleFormat(), QAudioFormat::Int16);
}

TEST(QtAudioOutput, CallsOutOfOrderAreRefusedWithoutTouchingTheDevice)
{
    QtAudioOutput output;
    EXPECT_EQ(output.prepare({1, 2, 3}), AudioWrongState);
    EXPECT_EQ(output.write(), AudioWrongState);
    EXPECT_EQ(output.unprepare(), AudioWrongState);
    EXPECT_EQ(output.close(), AudioWrongState);
    EXPECT_FALSE(output.isDone());
    EXPECT_EQ(output.playbackError(), AudioOk);
    output.reset();
    output.reset();
}
