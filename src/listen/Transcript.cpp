#include "Transcript.h"

#include <cmath>
#include <cstdio>

namespace keytoner {

Transcript::Transcript(double startSecondsOfDay, double newLineAfterSeconds)
    : start_(startSecondsOfDay), newLineAfter_(newLineAfterSeconds)
{
}

std::string Transcript::add(const ListenEvent &event)
{
    std::string text = event.text;
    std::string piece;
    if (!lineOpen_ || event.timeSeconds - lastTime_ > newLineAfter_) {
        // A word space that opens a line means nothing on its own.
        text.erase(0, text.find_first_not_of(' '));
        if (text.empty())
            return {};
        piece = (wroteAny_ ? "\n" : "") + clockText(start_ + event.timeSeconds) + "  ";
        lineOpen_ = wroteAny_ = true;
    }
    lastTime_ = event.timeSeconds;
    return piece + text;
}

std::string Transcript::clockText(double secondsOfDay)
{
    const auto whole = static_cast<long long>(std::floor(secondsOfDay));
    const long long wrapped = ((whole % 86400) + 86400) % 86400;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", wrapped / 3600, wrapped / 60 % 60,
                  wrapped % 60);
    return buffer;
}

} // namespace keytoner
