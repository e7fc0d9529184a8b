#pragma once

#include "config/ConfigImage.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace keytoner::link {

// What a received byte completed or abandoned.
struct FrameEvent {
    enum class Kind {
        Identity,  // identity line and its checksum byte; text is the line without CR and LF
        DataFrame, // data frame and its checksum byte; the image is in the parser's target
        Abandoned, // a frame given up by the data filter or by a text byte above 0x80
    };
    Kind kind;
    bool checksumOk = false;
    QByteArray text;
};

// The board's frames, byte by byte: identity lines FF AA text [CR] LF sum, and data frames
// FF FF 192 bytes sum. Image bytes are stored in the target as they arrive, so an abandoned or
// faulty frame leaves its bytes there.
class FrameParser {
public:
    enum State {
        Idle = 0,
        AfterFF = 1,
        DataBytes = 2,
        IdentityText = 3,
        DataSum = 4,
        IdentitySum = 5
    };

    explicit FrameParser(ConfigImage &target) : image_(target) {}

    std::optional<FrameEvent> ParseByte(std::uint8_t b);
    // The next byte is taken from the idle state, whatever frame was in progress.
    void requestReset() { ResetParser = true; }
    State state() const { return ParserState; }

    // Longer identity texts are abandoned: no board's name comes near it, and a line that
    // never ends must not make the parser hold it all.
    static constexpr int MaxIdentityLength = 256;

private:
    std::optional<FrameEvent> dataByte(std::uint8_t b);
    std::optional<FrameEvent> identityByte(std::uint8_t b);

    ConfigImage &image_;
    bool ResetParser = false;
    State ParserState = Idle;
    int RxIndex = 0;
    std::uint8_t RxSum = 0;
    QByteArray RxLine;
};

} // namespace keytoner::link
