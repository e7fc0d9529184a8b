#include "MorseTiming.h"

#include "MorseTable.h"

#include <algorithm>
#include <cmath>

namespace keytoner {

namespace {

constexpr double kAdapt = 0.3;
constexpr double kShortestDit = 6.0;
constexpr double kLongestDit = 100.0;
constexpr double kLetterSpace = 1.5; // dits
constexpr double kWordSpace = 5.0;
constexpr double kDebounce = 0.2; // of a dit
constexpr std::size_t kMarksToSettle = 6;
constexpr double kNewTransmissionMs = 3000.0;

} // namespace

void MorseTiming::step(bool keyed, double timeMs, double stepMs, std::vector<ListenEvent> &out)
{
    // A change counts once it has lasted a fifth of a dit; it dates from its first step.
    if (keyed == keyed_) {
        changedSteps_ = 0;
    } else {
        if (changedSteps_++ == 0)
            changeStartMs_ = timeMs - stepMs;
        if (changedSteps_ * stepMs >= std::max(stepMs, kDebounce * ditMs())) {
            if (keyed_) {
                addMark(runStartMs_, changeStartMs_ - runStartMs_);
            } else {
                markStartMs_ = changeStartMs_;
                spaceBeforeMs_ = changeStartMs_ - runStartMs_;
                if (settled_ && marks_.empty())
                    characterStartMs_ = changeStartMs_;
                else if (settled_)
                    speedUp(spaceBeforeMs_);
            }
            keyed_ = keyed;
            runStartMs_ = changeStartMs_;
            changedSteps_ = 0;
        }
    }
    if (keyed_)
        return;
    // A mark that has begun but is not yet confirmed ends the space where it began.
    const double space = (changedSteps_ > 0 ? changeStartMs_ : timeMs) - runStartMs_;
    if (!settled_) {
        if (readyToSettle(space))
            settle(out);
        return;
    }
    if (!marks_.empty() && space >= kLetterSpace * ditMs())
        emit(out);
    if (anyText_ && space >= kWordSpace * ditMs())
        wordPending_ = true;
    if (space >= std::max(kNewTransmissionMs, 20.0 * ditMs())) {
        // A new transmission may come at another speed.
        settled_ = false;
        dot_ = 0.0;
        dash_ = 0.0;
    }
}

void MorseTiming::addMark(double startMs, double lengthMs)
{
    if (settled_) {
        endMark(lengthMs);
        return;
    }
    if (lengthMs < kShortestDit)
        return; // noise before anything was read
    unsettled_.push_back({startMs, unsettled_.empty() ? 0.0 : spaceBeforeMs_, lengthMs});
}

// Dits and dahs both heard, a pause after the marks longer than any dah, or enough marks.
bool MorseTiming::readyToSettle(double spaceMs) const
{
    if (unsettled_.empty())
        return false;
    double shortest = unsettled_.front().markMs;
    double longest = shortest;
    for (const Run &run : unsettled_) {
        shortest = std::min(shortest, run.markMs);
        longest = std::max(longest, run.markMs);
    }
    return longest >= 2.0 * shortest || spaceMs > 2.5 * longest ||
           unsettled_.size() >= kMarksToSettle;
}

void MorseTiming::settle(std::vector<ListenEvent> &out)
{
    double shortest = unsettled_.front().markMs;
    double longest = shortest;
    double closest = 0.0; // the shortest space between marks: an element space, if any
    for (const Run &run : unsettled_) {
        shortest = std::min(shortest, run.markMs);
        longest = std::max(longest, run.markMs);
        if (&run != &unsettled_.front())
            closest = closest > 0.0 ? std::min(closest, run.spaceBeforeMs) : run.spaceBeforeMs;
    }
    if (longest >= 2.0 * shortest) {
        const double middle = std::sqrt(shortest * longest);
        double dots = 0.0;
        int dotCount = 0;
        for (const Run &run : unsettled_) {
            if (run.markMs < middle) {
                dots += run.markMs;
                ++dotCount;
            }
        }
        setDot(dots / dotCount);
    } else {
        // All alike: dits when as short as the spaces between them, else dahs.
        double mean = 0.0;
        for (const Run &run : unsettled_)
            mean += run.markMs;
        mean /= static_cast<double>(unsettled_.size());
        setDot(closest > 0.0 && mean > 2.0 * closest ? mean / 3.0 : mean);
    }
    settled_ = true;
    const double dit = ditMs();
    for (const Run &run : unsettled_) {
        if (!marks_.empty() && run.spaceBeforeMs >= 2.0 * dit)
            emit(out);
        if (anyText_ && run.spaceBeforeMs >= kWordSpace * dit)
            wordPending_ = true;
        if (marks_.empty())
            characterStartMs_ = run.startMs;
        marks_.push_back(run.markMs);
    }
    unsettled_.clear();
}

void MorseTiming::flush(std::vector<ListenEvent> &out)
{
    if (keyed_)
        addMark(runStartMs_, changedSteps_ > 0 ? changeStartMs_ - runStartMs_ : 0.0);
    if (!unsettled_.empty())
        settle(out);
    if (!marks_.empty())
        emit(out);
    keyed_ = false;
    changedSteps_ = 0;
}

void MorseTiming::endMark(double length)
{
    if (length <= 0.0)
        return;
    marks_.push_back(length);
    if (speedUp(length))
        return;
    const double middle = std::sqrt(dot_ * dash_);
    if (length < 0.6 * dot_) {
        // Noise, or a speed change not yet confirmed: leave the estimates.
    } else if (length < middle) {
        dot_ = std::clamp(dot_ + kAdapt * (length - dot_), kShortestDit, kLongestDit);
        dash_ = std::clamp(dash_, 2.0 * dot_, 4.5 * dot_);
    } else if (length > 1.6 * dash_) {
        // Far longer than a dah: the sender slowed down.
        setDot(length / 3.0);
    } else {
        dash_ =
            std::clamp(dash_ + kAdapt * (length - dash_), 2.0 * kShortestDit, 3.0 * kLongestDit);
        dot_ = std::clamp(dot_, dash_ / 4.5, dash_ / 2.0);
    }
}

// Two marks or spaces between marks well below a dit, close to each other, are a faster
// sender's dits; one alone is more likely noise.
bool MorseTiming::speedUp(double length)
{
    if (length >= 0.6 * dot_) {
        fasterCandidate_ = 0.0;
        return false;
    }
    const double previous = fasterCandidate_;
    fasterCandidate_ = length;
    if (previous <= 0.0 || std::max(previous, length) > 1.8 * std::min(previous, length))
        return false;
    setDot(std::sqrt(previous * length));
    fasterCandidate_ = 0.0;
    return true;
}

void MorseTiming::setDot(double length)
{
    dot_ = std::clamp(length, kShortestDit, kLongestDit);
    dash_ = 3.0 * dot_;
}

void MorseTiming::emit(std::vector<ListenEvent> &out)
{
    const double middle = std::sqrt(dot_ * dash_);
    std::string code;
    for (const double mark : marks_)
        code += mark < middle ? '.' : '-';
    marks_.clear();
    std::string text = wordPending_ ? " " : "";
    text += morseText(code);
    wordPending_ = false;
    anyText_ = true;
    out.push_back({ListenEvent::Kind::Cw, characterStartMs_ / 1000.0, std::move(text)});
}

} // namespace keytoner
