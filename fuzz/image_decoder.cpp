// 192 bytes from the board (shorter inputs padded with 0xFF, longer ones cut) into the fields,
// and the fields back through the encoder. The decoder never fails; what it shows fits the
// fields once cut to them.
#include "FuzzCheck.h"
#include "config/BoardConfig.h"
#include "config/ConfigDecoder.h"
#include "config/ConfigEncoder.h"
#include "config/ImageText.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace keytoner;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ConfigImage image;
    image.fill(0xFF);
    std::copy_n(data, std::min<std::size_t>(size, ConfigImageSize), image.begin());

    const BoardConfig shown = fittedToFields(decodeConfigImage(image));
    for (const QString &command : shown.txtMem)
        FUZZ_CHECK(command.size() <= FieldLength::Command);
    FUZZ_CHECK(shown.txtCallID.size() <= FieldLength::CallId);
    FUZZ_CHECK(shown.txtSeqCmd.size() <= FieldLength::ModifierId);
    FUZZ_CHECK(shown.txtPrgComm.isEmpty());
    buildConfigImage(shown);

    // The image file reader of keytoner-cli takes the same bytes as a file.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ImageParse parsed = parseImage(bytes);
    FUZZ_CHECK(parsed.image.has_value() == parsed.failure.isEmpty());
    if (parsed.image) {
        const ImageParse hex = parseImage(imageToHex(*parsed.image).toLatin1());
        FUZZ_CHECK(hex.image == parsed.image);
    }
    return 0;
}
