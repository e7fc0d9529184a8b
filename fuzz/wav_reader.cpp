// WAV files given to `keytoner-cli listen`, on any bytes. Beyond not crashing: a file that reads
// has a rate in the accepted range and no more samples than its bytes can hold, and the
// listener runs over whatever it holds, at whatever rate, without failing.
#include "FuzzCheck.h"
#include "listen/Listener.h"
#include "tone/WavFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace keytoner;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString problem;
    const auto sound = readWavBytes(bytes, problem);
    if (!sound) {
        FUZZ_CHECK(!problem.isEmpty());
        return 0;
    }
    FUZZ_CHECK(sound->sampleRate >= 1000 && sound->sampleRate <= 384000);
    FUZZ_CHECK(sound->samples.size() <= size);
    Listener listener(sound->sampleRate);
    std::vector<ListenEvent> events;
    listener.process(sound->samples.data(), sound->samples.size(), events);
    listener.flush(events);
    for (const ListenEvent &event : events)
        FUZZ_CHECK(!event.text.empty() && event.timeSeconds >= 0.0);
    return 0;
}
