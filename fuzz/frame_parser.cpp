// The serial line's bytes, as the port hands them to the parser. The first byte chooses how:
// bit 0 leaves out NUL bytes as the port does outside the data wait, bit 1 resets the parser
// half way as a failed exchange does.
#include "FuzzCheck.h"
#include "link/FrameParser.h"

#include <cstddef>
#include <cstdint>

using namespace keytoner;
using keytoner::link::FrameEvent;
using keytoner::link::FrameParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool discardNull = data[0] & 1;
    const bool resetHalfWay = data[0] & 2;
    ConfigImage image{};
    FrameParser parser(image);
    for (std::size_t i = 1; i < size; ++i) {
        if (resetHalfWay && i == size / 2)
            parser.requestReset();
        if (discardNull && data[i] == 0)
            continue;
        const auto event = parser.ParseByte(data[i]);
        FUZZ_CHECK(parser.state() >= FrameParser::Idle &&
                   parser.state() <= FrameParser::IdentitySum);
        if (!event)
            continue;
        // Every frame event ends the frame: the next byte is looked at from idle.
        FUZZ_CHECK(parser.state() == FrameParser::Idle);
        if (event->kind == FrameEvent::Kind::Identity) {
            for (const char c : event->text)
                FUZZ_CHECK(c != '\r' && c != '\n' && std::uint8_t(c) <= 0x80);
            // However long the line, the parser holds no more than a board's name could need.
            FUZZ_CHECK(event->text.size() <= FrameParser::MaxIdentityLength);
        } else {
            FUZZ_CHECK(event->text.isEmpty());
        }
    }
    return 0;
}
