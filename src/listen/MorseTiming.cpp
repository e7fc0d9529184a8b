#include "MorseTiming.h"

#include "MorseTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace keytoner {

namespace {

constexpr double kAdapt = 0.3;
constexpr double kShortestDit = 6.0;
constexpr double kLongestDit = 100.0;
constexpr double kLetterSpace = 1.5; // dits
constexpr double kWordSpace = 5.0;
constexpr double kDebounce = 0.2; // of a dit

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
                endMark(changeStartMs_ - runStartMs_);
            } else if (marks_.empty()) {
                characterStartMs_ = changeStartMs_;
            } else {
                speedUp(changeStartMs_ - runStartMs_);
            }
            keyed_ = keyed;
            runStartMs_ = changeStartMs_;
            changedSteps_ = 0;
        }
    }
    if (keyed_)
        return;
    const double space = timeMs - runStartMs_;
    if (!marks_.empty() && space >= kLetterSpace * ditMs())
        emit(out);
    if (anyText_ && space >= kWordSpace * ditMs())
        wordPending_ = true;
}

void MorseTiming::flush(std::vector<ListenEvent> &out)
{
    if (keyed_)
        endMark(changedSteps_ > 0 ? changeStartMs_ - runStartMs_ : 0.0);
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
    if (dot_ <= 0.0) {
        // The first mark: taken as a dit until something shorter shows otherwise.
        setDot(length);
        return;
    }
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
