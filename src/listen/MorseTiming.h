#pragma once

#include "ListenEvent.h"

#include <vector>

namespace keytoner {

// Marks and spaces to text, following the speed. Two running estimates, of the dit and of the
// dah, classify each mark by the geometric middle between them; three marks or spaces far
// shorter than a dit (a faster sender), or a mark far longer than a dah (a slower one), reset
// them at once, and the marks still held are split again at the new speed. A character is read
// when the space after it exceeds 1.5 dits, or 110 ms at slow speeds (to show it within 150 ms
// of its end); a space of five dits makes a word space, written before the next character.
// The first marks of a transmission are kept until their own lengths tell dits from dahs (or a
// pause ends them); then they are read all at once, so that a reply beginning with a dah
// (N0CALL) is read right.
class MorseTiming {
public:
    // One step of the keyed state; `timeMs` is the step's end.
    void step(bool keyed, double timeMs, double stepMs, std::vector<ListenEvent> &out);
    void flush(std::vector<ListenEvent> &out);
    // Another sender: finishes what is pending, then learns the speed anew.
    void restart(std::vector<ListenEvent> &out);
    // Whether nothing has been keyed since `timeMs` (so that steps may be given again from it).
    bool quietSince(double timeMs) const
    {
        return !keyed_ && changedSteps_ == 0 && runStartMs_ <= timeMs;
    }
    // Before the speed is known: half the shortest mark so far (which may be a dah), or the
    // fastest dit before any mark.
    double ditMs() const;

private:
    struct Run {
        double startMs;
        double spaceBeforeMs;
        double markMs;
    };

    void addMark(double startMs, double lengthMs);
    void adapt(double lengthMs);
    bool speedUp(double lengthMs);
    void setDot(double lengthMs);
    bool readyToSettle(double spaceMs) const;
    void settle(std::vector<ListenEvent> &out);
    void split(std::vector<ListenEvent> &out);
    void emit(std::vector<ListenEvent> &out);

    bool keyed_ = false;
    double runStartMs_ = 0.0;
    int changedSteps_ = 0;
    double changeStartMs_ = 0.0;
    double spaceBeforeMs_ = 0.0;
    double dot_ = 0.0; // none yet
    double dash_ = 0.0;
    int fasterCount_ = 0; // short marks and spaces in a row, alike
    double fasterLow_ = 0.0;
    double fasterHigh_ = 0.0;
    double fasterSum_ = 0.0;
    bool speedChanged_ = false;
    bool settled_ = false;
    std::vector<Run> unsettled_; // marks heard before the speed is known
    std::vector<Run> character_; // the marks of the character being heard
    bool wordPending_ = false;
    bool anyText_ = false;
};

} // namespace keytoner
