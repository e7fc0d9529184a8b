// The comma-separated items of the settings file and of configuration files, on any bytes.
// Beyond not crashing: the reader always moves on, atEnd() agrees with next(), and a settings
// line that reads completely is written back to the same values.
#include "FuzzCheck.h"
#include "app/SettingsFile.h"
#include "common/ItemReader.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace keytoner;

namespace {

void readAllItems(const QString &text)
{
    ItemReader reader(text);
    qsizetype items = 0;
    while (true) {
        const bool atEnd = reader.atEnd();
        const auto item = reader.next();
        FUZZ_CHECK(atEnd == !item.has_value());
        if (!item)
            break;
        FUZZ_CHECK(item->size() <= text.size());
        // Each item takes at least one character, so the text runs out.
        FUZZ_CHECK(++items <= text.size());
    }
    FUZZ_CHECK(reader.atEnd());
    FUZZ_CHECK(!reader.next());
}

bool writable(const SettingsValues &v)
{
    // A text holding a double quote cannot be written in a quoted field.
    for (const QString *text : {&v.configFile, &v.sequence, &v.digitMs, &v.gapMs, &v.pauseMs,
                                &v.pttPort, &v.programPort, &v.txDelayMs})
        if (text->contains(u'"'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = SettingsFile::decode(bytes);
    readAllItems(text);
    readAllItems(QString::fromLatin1(bytes));

    const SettingsRead read = SettingsFile::parse(text);
    if (read.failedField) {
        FUZZ_CHECK(*read.failedField >= 1 && *read.failedField <= SettingsFile::fieldCount);
        return 0;
    }
    if (!writable(read.values))
        return 0;
    const QString line = SettingsFile::format(read.values);
    const SettingsRead again =
        SettingsFile::parse(SettingsFile::decode(SettingsFile::encode(line)));
    FUZZ_CHECK(!again.failedField);
    FUZZ_CHECK(again.values == read.values);
    return 0;
}
