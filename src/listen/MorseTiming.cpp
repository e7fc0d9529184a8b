#include "MorseTiming.h"

#include "MorseTable.h"

#include <algorithm>
#include <cmath>

namespace keytoner {

namespace {

constexpr double Adapt = 0.3;
constexpr double ShortestDit = 6.0;
constexpr double LongestDit = 100.0;
constexpr double LetterSpace = 1.5; // dits, while listening
// ... but no later than this, so that a character shows within 150 ms of its end at 14 WPM.
constexpr double LatestLetterMs = 110.0;
constexpr double LetterSplit = 2.0; // dits, when marks held are read again
constexpr double WordSpace = 5.0;
constexpr double Debounce = 0.2; // of a dit
constexpr std::size_t MarksToSettle = 6;
constexpr int FasterToConfirm = 3;
constexpr double NewTransmissionMs = 3000.0;

} // namespace

double MorseTiming::ditMs() const
{
    if (dot_ > 0.0)
        return (dot_ + dash_ / 3.0) / 2.0;
    if (unsettled_.empty())
        return ShortestDit + 2.0; // 150 WPM
    double shortest = unsettled_.front().markMs;
    for (const Run &run : unsettled_)
        shortest = std::min(shortest, run.markMs);
    return std::max(ShortestDit + 2.0, shortest / 2.0);
}

void MorseTiming::step(bool keyed, double timeMs, double stepMs, std::vector<ListenEvent> &out)
{
    // A change counts once it has lasted a fifth of a dit; it dates from its first step.
    if (keyed == keyed_) {
        changedSteps_ = 0;
    } else {
        if (changedSteps_++ == 0)
            changeStartMs_ = timeMs - stepMs;
        if (changedSteps_ * stepMs >= std::max(stepMs, Debounce * ditMs())) {
            if (keyed_) {
                addMark(runStartMs_, changeStartMs_ - runStartMs_);
            } else {
                spaceBeforeMs_ = changeStartMs_ - runStartMs_;
                if (settled_ && !character_.empty())
                    speedUp(spaceBeforeMs_);
            }
            keyed_ = keyed;
            runStartMs_ = changeStartMs_;
            changedSteps_ = 0;
        }
    }
    if (speedChanged_) {
        speedChanged_ = false;
        split(out);
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
    if (!character_.empty() && space >= std::min(LetterSpace * ditMs(), LatestLetterMs))
        emit(out);
    if (anyText_ && space >= WordSpace * ditMs())
        wordPending_ = true;
    if (space >= std::max(NewTransmissionMs, 20.0 * ditMs())) {
        // A new transmission may come at another speed.
        settled_ = false;
        dot_ = 0.0;
        dash_ = 0.0;
    }
}

void MorseTiming::flush(std::vector<ListenEvent> &out)
{
    if (keyed_)
        addMark(runStartMs_, changedSteps_ > 0 ? changeStartMs_ - runStartMs_ : 0.0);
    if (!unsettled_.empty())
        settle(out);
    if (!character_.empty())
        emit(out);
    keyed_ = false;
    changedSteps_ = 0;
}

void MorseTiming::restart(std::vector<ListenEvent> &out)
{
    flush(out);
    settled_ = false;
    dot_ = 0.0;
    dash_ = 0.0;
    fasterCount_ = 0;
    wordPending_ = anyText_;
}

void MorseTiming::addMark(double startMs, double lengthMs)
{
    if (lengthMs <= 0.0)
        return;
    if (settled_) {
        character_.push_back({startMs, character_.empty() ? 0.0 : spaceBeforeMs_, lengthMs});
        adapt(lengthMs);
        return;
    }
    if (lengthMs < ShortestDit)
        return; // noise before anything was read
    unsettled_.push_back({startMs, unsettled_.empty() ? 0.0 : spaceBeforeMs_, lengthMs});
    // A short first mark far ahead of the next one was noise before the transmission.
    if (unsettled_.size() == 2) {
        const Run &first = unsettled_.front();
        const Run &second = unsettled_.back();
        if (first.markMs < 0.5 * second.markMs && second.spaceBeforeMs > 4.0 * first.markMs)
            unsettled_.erase(unsettled_.begin());
    }
}

void MorseTiming::adapt(double length)
{
    if (speedUp(length))
        return;
    const double middle = std::sqrt(dot_ * dash_);
    if (length < 0.6 * dot_) {
        // Noise, or a speed change not yet confirmed: leave the estimates.
    } else if (length < middle) {
        dot_ = std::clamp(dot_ + Adapt * (length - dot_), ShortestDit, LongestDit);
        dash_ = std::clamp(dash_, 2.0 * dot_, 4.5 * dot_);
    } else if (length > 1.6 * dash_) {
        // Far longer than a dah: the sender slowed down.
        setDot(length / 3.0);
        speedChanged_ = true;
    } else {
        dash_ = std::clamp(dash_ + Adapt * (length - dash_), 2.0 * ShortestDit, 3.0 * LongestDit);
        dot_ = std::clamp(dot_, dash_ / 4.5, dash_ / 2.0);
    }
}

// Marks or spaces between marks well below a dit, several in a row and alike, are a faster
// sender's dits; one alone is more likely noise.
bool MorseTiming::speedUp(double length)
{
    if (length >= 0.6 * dot_) {
        fasterCount_ = 0;
        return false;
    }
    if (fasterCount_ == 0 || std::max(fasterLow_, length) > 1.8 * std::min(fasterHigh_, length)) {
        fasterCount_ = 1;
        fasterLow_ = fasterHigh_ = fasterSum_ = length;
        return false;
    }
    fasterLow_ = std::min(fasterLow_, length);
    fasterHigh_ = std::max(fasterHigh_, length);
    fasterSum_ += length;
    if (++fasterCount_ < FasterToConfirm)
        return false;
    setDot(fasterSum_ / fasterCount_);
    fasterCount_ = 0;
    speedChanged_ = true;
    return true;
}

void MorseTiming::setDot(double length)
{
    dot_ = std::clamp(length, ShortestDit, LongestDit);
    dash_ = 3.0 * dot_;
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
           unsettled_.size() >= MarksToSettle;
}

void MorseTiming::settle(std::vector<ListenEvent> &out)
{
    double shortest = unsettled_.front().markMs;
    double longest = shortest;
    double closest = 0.0; // the shortest space between marks: an element space, if any
    for (std::size_t i = 0; i < unsettled_.size(); ++i) {
        shortest = std::min(shortest, unsettled_[i].markMs);
        longest = std::max(longest, unsettled_[i].markMs);
        if (i > 0)
            closest = i == 1 ? unsettled_[i].spaceBeforeMs
                             : std::min(closest, unsettled_[i].spaceBeforeMs);
    }
    if (longest >= 2.0 * shortest) {
        const double middle = std::sqrt(shortest * longest);
        double dots = 0.0;
        int count = 0;
        for (const Run &run : unsettled_) {
            if (run.markMs < middle) {
                dots += run.markMs;
                ++count;
            }
        }
        setDot(dots / count);
    } else {
        // All alike: dits when as short as the spaces between them, else dahs.
        double mean = 0.0;
        for (const Run &run : unsettled_)
            mean += run.markMs;
        mean /= static_cast<double>(unsettled_.size());
        setDot(closest > 0.0 && mean > 2.0 * closest ? mean / 3.0 : mean);
    }
    settled_ = true;
    character_.insert(character_.end(), unsettled_.begin(), unsettled_.end());
    unsettled_.clear();
    split(out);
}

// Reads the marks held again at the current speed: where a space between them is a letter
// space now, the characters before it are complete.
void MorseTiming::split(std::vector<ListenEvent> &out)
{
    std::vector<Run> held;
    held.swap(character_);
    for (const Run &run : held) {
        if (!character_.empty() && run.spaceBeforeMs >= LetterSplit * ditMs())
            emit(out);
        if (anyText_ && run.spaceBeforeMs >= WordSpace * ditMs())
            wordPending_ = true;
        character_.push_back(run);
    }
}

void MorseTiming::emit(std::vector<ListenEvent> &out)
{
    const double middle = std::sqrt(dot_ * dash_);
    std::string code;
    for (const Run &run : character_)
        code += run.markMs < middle ? '.' : '-';
    std::string text = wordPending_ ? " " : "";
    text += morseText(code);
    wordPending_ = false;
    anyText_ = true;
    out.push_back({ListenEvent::Kind::Cw, character_.front().startMs / 1000.0, std::move(text)});
    character_.clear();
}

} // namespace keytoner
