#pragma once

#include "ListenEvent.h"

#include <string>

namespace keytoner {

// Lays out the events of one kind as lines of text: a line begins with the time of day of its
// first event ("14:03:07  ") and goes on while events follow each other closely; a pause longer
// than `newLineAfterSeconds` begins a new line. So a burst of digits, or one Morse reply, reads
// as one stamped line.
class Transcript {
public:
    // startSecondsOfDay: the local time of day at which the stream's time 0 was heard.
    explicit Transcript(double startSecondsOfDay = 0.0, double newLineAfterSeconds = 3.0);

    // The text to append to what was returned so far.
    std::string add(const ListenEvent &event);
    // The next event begins a new line.
    void breakLine() { lineOpen_ = false; }
    // Starts afresh, as on an empty page.
    void clear() { lineOpen_ = wroteAny_ = false; }
    void setStart(double startSecondsOfDay) { start_ = startSecondsOfDay; }

    // hh:mm:ss of a time of day in seconds (wrapping at midnight).
    static std::string clockText(double secondsOfDay);

private:
    double start_;
    double newLineAfter_;
    bool lineOpen_ = false;
    bool wroteAny_ = false;
    double lastTime_ = 0.0;
};

} // namespace keytoner
