#pragma once

#include "ListenEvent.h"

#include <string>
#include <vector>

namespace keytoner {

// Marks and spaces to text, following the speed. The first marks of a transmission are kept
// until their own lengths tell dits from dahs (or a pause ends the first word); then they are
// read all at once with the speed they show, so that a reply beginning with a dah (N0CALL) is
// read right. Two running estimates, of the dit and of the
// dah, classify each mark by the geometric middle between them; a mark far outside both
// (a speed change) resets them at once. A character is read when the space after it exceeds
// 1.5 dits (early enough to show it within 150 ms at the slowest speed), so its marks are
// classified with the estimates of its own end; a space of five dits makes a word space,
// written before the next character.
class MorseTiming {
public:
    // One step of the keyed state; `timeMs` is the step's end.
    void step(bool keyed, double timeMs, double stepMs, std::vector<ListenEvent> &out);
    void flush(std::vector<ListenEvent> &out);
    // Whether nothing has been keyed since `timeMs` (so that steps may be given again from it).
    bool quietSince(double timeMs) const
    {
        return !keyed_ && changedSteps_ == 0 && runStartMs_ <= timeMs;
    }
    // Before the first mark, a middle speed (40 WPM): smoothing enough to keep noise from
    // keying, little enough to let the fastest dits through.
    double ditMs() const { return dot_ > 0.0 ? (dot_ + dash_ / 3.0) / 2.0 : 8.0; }

private:
    void endMark(double lengthMs);
    bool speedUp(double lengthMs);
    void setDot(double lengthMs);
    void emit(std::vector<ListenEvent> &out);
    void addMark(double startMs, double lengthMs);
    bool readyToSettle(double spaceMs) const;
    void settle(std::vector<ListenEvent> &out);

    // Marks heard before the speed is known, with the space before each.
    struct Run {
        double startMs;
        double spaceBeforeMs;
        double markMs;
    };

    bool keyed_ = false;
    double runStartMs_ = 0.0;
    int changedSteps_ = 0;
    double changeStartMs_ = 0.0;
    double dot_ = 0.0; // none yet
    double dash_ = 0.0;
    double fasterCandidate_ = 0.0;
    std::vector<double> marks_;
    double characterStartMs_ = 0.0;
    bool wordPending_ = false;
    bool anyText_ = false;
    bool settled_ = false;
    std::vector<Run> unsettled_;
    double markStartMs_ = 0.0;
    double spaceBeforeMs_ = 0.0;
};

} // namespace keytoner
