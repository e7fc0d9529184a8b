#pragma once

#include <string>

namespace keytoner {

// One thing heard: a DTMF key (one key per event) or a run of Morse characters (blanks between
// words included, prosigns written as "<AR>"). The time is when it began, in seconds from the
// first sample given to the listener.
struct ListenEvent {
    enum class Kind { Dtmf, Cw };
    Kind kind = Kind::Dtmf;
    double timeSeconds = 0.0;
    std::string text;
};

} // namespace keytoner
