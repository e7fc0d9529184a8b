// A configuration file's bytes into a configuration value. A file that reads completely is
// written and read back to the same value; whatever it holds goes through the encoder without
// harm (the encoder may refuse it, never crash on it).
#include "FuzzCheck.h"
#include "config/BoardConfig.h"
#include "config/ConfigEncoder.h"
#include "config/ConfigFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace keytoner;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ConfigFileRead read = readConfigFile(bytes);
    FUZZ_CHECK(read.itemsRead >= 0 && read.itemsRead <= ConfigItem::Count);
    FUZZ_CHECK(read.complete() == read.failure.isEmpty());

    buildConfigImage(fittedToFields(read.config));

    if (!read.complete() || unwritableConfigText(read.config))
        return 0;
    const ConfigFileRead again = readConfigFile(writeConfigFile(read.config));
    FUZZ_CHECK(again.complete());
    FUZZ_CHECK(again.config == read.config);
    return 0;
}
