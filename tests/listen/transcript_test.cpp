// The stamped lines of the Listen window's two text areas.
#include "listen/Transcript.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace keytoner;

// Time 0 of the stream was heard at 14:03:07.5; "|" breaks the line, "~" clears the text (the next
// line starts without a line end).
TEST(Transcript, StampsEachLine)
{
    const std::pair<std::vector<std::pair<double, std::string>>, std::string> cases[] = {
        {{{0.2, "1"}, {0.3, "5"}, {0.4, "9"}}, "14:03:07  159"},
        {{{0.0, "1"}, {3.0, "2"}, {6.5, "3"}}, "14:03:07  12\n14:03:14  3"}, // a pause
        {{{1.0, " N0CALL"}, {1.5, " K"}}, "14:03:08  N0CALL K"}, // no leading word space
        {{{1.0, " "}, {1.2, "E"}}, "14:03:08  E"},
        {{{0.0, "A"}, {0.0, "|"}, {0.1, "B"}}, "14:03:07  A\n14:03:07  B"},
        {{{36000.0, "#"}}, "00:03:07  #"}, // past midnight
        {{{1.0, "1"}, {1.0, "~"}, {2.0, "2"}}, "14:03:08  114:03:09  2"},
    };
    for (const auto &[events, expected] : cases) {
        Transcript transcript(14 * 3600 + 3 * 60 + 7.5);
        std::string text;
        for (const auto &[time, piece] : events) {
            if (piece == "|")
                transcript.breakLine();
            else if (piece == "~")
                transcript.clear();
            else
                text += transcript.add({ListenEvent::Kind::Cw, time, piece});
        }
        EXPECT_EQ(text, expected);
    }
}
