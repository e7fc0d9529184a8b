#include "platform/QtAudioInput.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace keytoner;

namespace {

QAudioFormat formatOf(QAudioFormat::SampleFormat sampleFormat, int channels)
{
    QAudioFormat format;
    format.setSampleRate(48000);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}

template <typename T> std::vector<char> bytesOf(const std::vector<T> &values)
{
    std::vector<char> bytes(values.size() * sizeof(T));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

} // namespace

// Devices that offer no 16-bit mono are taken as they come and mixed down here.
TEST(QtAudioInput, FramesBecomeSixteenBitMono)
{
    struct Case {
        const char *name;
        QAudioFormat format;
        std::vector<char> bytes;
        std::vector<int16_t> expected;
    };
    const Case cases[] = {
        {"int16 mono as is",
         formatOf(QAudioFormat::Int16, 1),
         bytesOf<int16_t>({0, 32767, -32768, 1234}),
         {0, 32767, -32768, 1234}},
        {"float stereo: mean of the channels",
         formatOf(QAudioFormat::Float, 2),
         bytesOf<float>({0.5f, 0.5f, 1.0f, 0.0f, -1.0f, -1.0f}),
         {16384, 16384, -32767}},
        {"int32 mono: the top bits",
         formatOf(QAudioFormat::Int32, 1),
         bytesOf<int32_t>({1 << 30, -(1 << 30)}),
         {16384, -16384}},
        {"uint8 stereo: offset binary",
         formatOf(QAudioFormat::UInt8, 2),
         std::vector<char>{char(128), char(128), char(255), char(255)},
         {0, 32511}}, // 127 / 128 of 32767
    };
    for (const Case &c : cases) {
        std::vector<int16_t> out{7}; // appended after what is there
        const qsizetype frames = qsizetype(c.bytes.size()) / c.format.bytesPerFrame();
        appendAsMono16(c.bytes.data(), frames, c.format, out);
        std::vector<int16_t> expected{7};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(out, expected) << c.name;
    }
}

TEST(QtAudioInput, ClosedInputIsSafe)
{
    QtAudioInput input;
    EXPECT_FALSE(input.isOpen());
    input.close();
    input.close();
}
