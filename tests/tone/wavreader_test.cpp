#include "tone/WavFile.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace keytoner;

namespace {

// A WAV file put together by hand: format tag, channels, rate, bits, then the data bytes;
// `dataClaim` is what the data chunk's header says (the real size when negative).
QByteArray wav(quint16 tag, quint16 channels, quint32 rate, quint16 bits, const QByteArray &data,
               qint64 dataClaim = -1, const QByteArray &extraChunk = {})
{
    // Each value in little-endian bytes of its own size.
    auto le = [](auto v) {
        QByteArray b(sizeof v, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const QByteArray format = le(tag) + le(channels) + le(rate) + le(rate * channels * bits / 8) +
                              le(quint16(channels * bits / 8)) + le(bits);
    const QByteArray body = "WAVE" + QByteArray("fmt ") + le(quint32(16)) + format + extraChunk +
                            "data" + le(quint32(dataClaim < 0 ? data.size() : dataClaim)) + data;
    return "RIFF" + le(quint32(body.size())) + body;
}

QByteArray le16(std::initializer_list<qint16> values)
{
    QByteArray out(2 * qsizetype(values.size()), '\0');
    qToLittleEndian<qint16>(values.begin(), qsizetype(values.size()), out.data());
    return out;
}

// Read as mono 16-bit samples at the file's rate (0: the file is refused).
TEST(WavFile, ReadsMonoSixteenBitsOrRefuses)
{
    const struct {
        const char *name;
        QByteArray bytes;
        int rate;
        std::vector<int16_t> samples;
    } cases[] = {
        {"as the program writes it", wavFileBytes({3, -4}), 8000, {3, -4}},
        {"pcm16 mono", wav(1, 1, 8000, 16, le16({1, -2, 32767})), 8000, {1, -2, 32767}},
        {"pcm16 stereo averaged", wav(1, 2, 48000, 16, le16({100, 300, -5, -7})), 48000, {200, -6}},
        {"pcm8 centred on 128",
         wav(1, 1, 11025, 8, QByteArray::fromHex("80ff00")),
         11025,
         {0, 32512, -32768}},
        {"float32",
         wav(3, 1, 44100, 32, QByteArray::fromHex("0000003f000000bf")),
         44100,
         {16384, -16384}},
        {"extensible tag without its extension", wav(0xFFFE, 1, 8000, 16, le16({7})), 0, {}},
        {"chunk before data skipped",
         wav(1, 1, 8000, 16, le16({5}), -1,
             QByteArray("LIST") + QByteArray::fromHex("03000000") + "abc" + '\0'),
         8000,
         {5}},
        {"data claims more than the file", wav(1, 1, 8000, 16, le16({9, 10}), 1000), 8000, {9, 10}},
        {"24 bits refused", wav(1, 1, 8000, 24, QByteArray(6, '\0')), 0, {}},
        {"rate 0 refused", wav(1, 1, 0, 16, le16({1})), 0, {}},
        {"not RIFF", QByteArray("RIFX0000WAVE"), 0, {}},
        {"no data chunk", QByteArray("RIFF") + QByteArray::fromHex("04000000") + "WAVE", 0, {}}};
    for (const auto &c : cases) {
        QString problem;
        const auto sound = readWavBytes(c.bytes, problem);
        EXPECT_EQ(sound.has_value(), c.rate != 0) << c.name;
        EXPECT_EQ(problem.isEmpty(), c.rate != 0) << c.name;
        if (sound) {
            EXPECT_EQ(sound->sampleRate, c.rate) << c.name;
            EXPECT_EQ(sound->samples, c.samples) << c.name;
        }
    }
}

} // namespace
