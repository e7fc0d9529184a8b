#include "WavFile.h"

#include <QtEndian>

namespace keytoner {

namespace {

void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray wavFileBytes(const std::vector<int16_t> &samples)
{
    constexpr quint32 rate = 8000;
    constexpr quint16 channels = 1;
    constexpr quint16 bits = 16;
    constexpr quint16 blockAlign = channels * bits / 8;
    const quint32 dataBytes = static_cast<quint32>(samples.size() * sizeof(int16_t));

    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataBytes));
    out.append("RIFF");
    append32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    append32(out, 16);
    append16(out, 1); // PCM
    append16(out, channels);
    append32(out, rate);
    append32(out, rate * blockAlign);
    append16(out, blockAlign);
    append16(out, bits);
    out.append("data");
    append32(out, dataBytes);
    for (int16_t sample : samples)
        append16(out, static_cast<quint16>(sample));
    return out;
}

} // namespace keytoner
