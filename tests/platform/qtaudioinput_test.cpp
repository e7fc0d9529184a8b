#include "platform/QtAudioInput.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace keytoner;

namespace {

template <typename T> std::vector<char> bytesOf(const std::vector<T> &values)
{
    std::vector<char> bytes(values.size() * sizeof(T));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

} // namespace

// Devices that offer no 16-bit mono are taken as they come and mixed down here, after what the
// block holds already (7).
TEST(QtAudioInput, FramesBecomeSixteenBitMono)
{
    const struct {
        QAudioFormat::SampleFormat sampleFormat;
        int channels;
        std::vector<char> bytes;
        std::vector<int16_t> expected;
    } cases[] = {
        {QAudioFormat::Int16, 1, bytesOf<int16_t>({0, 32767, -32768}), {7, 0, 32767, -32768}},
        // Float stereo: the mean of the channels.
        {QAudioFormat::Float,
         2,
         bytesOf<float>({0.5f, 0.5f, 1.0f, 0.0f, -1.0f, -1.0f}),
         {7, 16384, 16384, -32767}},
        // Int32: the top bits.
        {QAudioFormat::Int32, 1, bytesOf<int32_t>({1 << 30, -(1 << 30)}), {7, 16384, -16384}},
        // UInt8 is offset binary: 255 is 127 / 128 of 32767.
        {QAudioFormat::UInt8, 2, {char(128), char(128), char(255), char(255)}, {7, 0, 32511}},
    };
    for (const auto &c : cases) {
        QAudioFormat format;
        format.setSampleRate(48000);
        format.setChannelCount(c.channels);
        format.setSampleFormat(c.sampleFormat);
        std::vector<int16_t> out{7};
        appendAsMono16(c.bytes.data(), qsizetype(c.bytes.size()) / format.bytesPerFrame(), format,
                       out);
        EXPECT_EQ(out, c.expected) << c.sampleFormat;
    }
}

TEST(QtAudioInput, ClosedInputIsSafe)
{
    QtAudioInput input;
    EXPECT_FALSE(input.isOpen());
    input.close();
    input.close();
}
