// The comma-separated items of the settings file and of configuration files, on any bytes.
// Beyond not crashing: the reader always moves on, atEnd() agrees with next(), and a settings
// line that reads completely is written back to the same values.
#include "FuzzCheck.h"
#include "common/ItemReader.h"
#include "settings/SettingsFile.h"

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
        // Each item but the one after a final comma takes at least one character, so the text
        // runs out.
        FUZZ_CHECK(++items <= text.size() + 1);
    }
    FUZZ_CHECK(reader.atEnd());
    FUZZ_CHECK(!reader.next());
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
        FUZZ_CHECK(*read.failedField >= 1 && *read.failedField <= SettingsFile::FieldCount);
        return 0;
    }
    if (SettingsFile::unwritable(read.values))
        return 0;
    const SettingsValues written = SettingsFile::writable(read.values);
    const QString line = SettingsFile::format(written);
    const SettingsRead again =
        SettingsFile::parse(SettingsFile::decode(SettingsFile::encode(line)));
    FUZZ_CHECK(!again.failedField);
    FUZZ_CHECK(again.values == written);
    return 0;
}
