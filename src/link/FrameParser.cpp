#include "FrameParser.h"

#include "LinkProtocol.h"

namespace keytoner::link {

namespace {
constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t LF = 0x0A;
} // namespace

std::optional<FrameEvent> FrameParser::ParseByte(std::uint8_t b)
{
    if (ResetParser) {
        ResetParser = false;
        ParserState = Idle;
    }
    switch (ParserState) {
    case Idle:
        if (b == FrameStart)
            ParserState = AfterFF;
        return std::nullopt;
    case AfterFF:
        RxSum = 0;
        if (b == DataMark) {
            ParserState = DataBytes;
            RxIndex = 0;
        } else if (b == IdentityMark) {
            ParserState = IdentityText;
            RxLine.clear();
        } else {
            ParserState = Idle;
        }
        return std::nullopt;
    case DataBytes:
        return dataByte(b);
    case IdentityText:
        return identityByte(b);
    case DataSum:
        ParserState = Idle;
        return FrameEvent{FrameEvent::Kind::DataFrame, b == RxSum, {}};
    case IdentitySum:
        ParserState = Idle;
        return FrameEvent{FrameEvent::Kind::Identity, b == RxSum, RxLine};
    }
    return std::nullopt;
}

std::optional<FrameEvent> FrameParser::dataByte(std::uint8_t b)
{
    if (!passesDataFilter(RxIndex, b)) {
        ParserState = Idle;
        return FrameEvent{FrameEvent::Kind::Abandoned, false, {}};
    }
    image_[RxIndex] = b;
    RxSum = static_cast<std::uint8_t>(RxSum + b);
    if (++RxIndex == ConfigImageSize)
        ParserState = DataSum;
    return std::nullopt;
}

std::optional<FrameEvent> FrameParser::identityByte(std::uint8_t b)
{
    const bool textByte = b != CR && b != LF;
    if (b > 0x80 || (textByte && RxLine.size() >= MaxIdentityLength)) {
        ParserState = Idle;
        return FrameEvent{FrameEvent::Kind::Abandoned, false, {}};
    }
    if (textByte) {
        RxLine.append(static_cast<char>(b));
        RxSum = static_cast<std::uint8_t>(RxSum + b);
    }
    if (b == LF)
        ParserState = IdentitySum;
    return std::nullopt;
}

} // namespace keytoner::link
