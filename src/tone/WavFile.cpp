#include "WavFile.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

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

struct Format {
    quint16 tag = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatFloat = 3;
constexpr quint16 FormatExtensible = 0xFFFE;

quint16 read16(const char *at)
{
    return qFromLittleEndian<quint16>(at);
}

quint32 read32(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

std::optional<Format> readFormat(const char *at, quint32 size, QString &problem)
{
    if (size < 16) {
        problem = QStringLiteral("The format chunk is too short.");
        return std::nullopt;
    }
    Format format{read16(at), read16(at + 2), static_cast<int>(read32(at + 4)), read16(at + 14)};
    if (format.tag == FormatExtensible && size >= 26)
        format.tag = read16(at + 24); // the sub-format GUID starts with the plain tag
    const bool pcm = format.tag == FormatPcm && (format.bits == 8 || format.bits == 16);
    const bool floats = format.tag == FormatFloat && format.bits == 32;
    if (!pcm && !floats) {
        problem = QStringLiteral("Only 8- or 16-bit PCM and 32-bit float WAV files are read.");
        return std::nullopt;
    }
    if (format.channels < 1 || format.channels > 8 || format.rate < 1000 || format.rate > 384000) {
        problem = QStringLiteral("Unsupported channel count or sample rate.");
        return std::nullopt;
    }
    return format;
}

double sampleAt(const char *at, const Format &format)
{
    if (format.bits == 8)
        return (static_cast<unsigned char>(*at) - 128) * 256.0;
    if (format.bits == 16)
        return static_cast<qint16>(read16(at));
    float value = 0.0f;
    const quint32 raw = read32(at);
    std::memcpy(&value, &raw, sizeof value);
    return std::isfinite(value) ? value * 32768.0 : 0.0;
}

std::vector<int16_t> monoSamples(const char *data, qsizetype size, const Format &format)
{
    const int width = format.bits / 8;
    const qsizetype frames = size / (width * format.channels);
    std::vector<int16_t> samples(static_cast<std::size_t>(frames));
    for (qsizetype frame = 0; frame < frames; ++frame) {
        double sum = 0.0;
        for (int channel = 0; channel < format.channels; ++channel)
            sum += sampleAt(data + (frame * format.channels + channel) * width, format);
        const double mean = std::clamp(sum / format.channels, -32768.0, 32767.0);
        samples[static_cast<std::size_t>(frame)] = static_cast<int16_t>(std::lround(mean));
    }
    return samples;
}

} // namespace

std::optional<WavSound> readWavBytes(const QByteArray &bytes, QString &problem)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        problem = QStringLiteral("Not a WAV file.");
        return std::nullopt;
    }
    std::optional<Format> format;
    for (qsizetype at = 12; at + 8 <= size;) {
        const quint32 chunkSize = read32(data + at + 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(chunkSize, size - body);
        if (std::memcmp(data + at, "fmt ", 4) == 0) {
            format = readFormat(data + body, static_cast<quint32>(available), problem);
            if (!format)
                return std::nullopt;
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            if (!format) {
                problem = QStringLiteral("The data chunk comes before the format chunk.");
                return std::nullopt;
            }
            return WavSound{format->rate, monoSamples(data + body, available, *format)};
        }
        at = body + static_cast<qsizetype>(chunkSize) + (chunkSize & 1);
    }
    problem = QStringLiteral("The WAV file has no sound data.");
    return std::nullopt;
}

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
