// The manual the instructions window opens: any bytes give a document or a reason.
#include "FuzzCheck.h"
#include "manual/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace keytoner;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // QTextDocument measures its fonts through the GUI application.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RtfDocument read = RtfReader::read(bytes);
    FUZZ_CHECK((read.document != nullptr) == read.error.isEmpty());
    if (read.document)
        FUZZ_CHECK(read.document->characterCount() <= 2 * qsizetype(size) + 2);
    return 0;
}
