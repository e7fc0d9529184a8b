#include "platform/Clock.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace keytoner;

// A TX delay of 1 ms waits 1 ms: the shortest sleep is not rounded away.
TEST(SystemClock, SleepsAtLeastWhatIsAsked)
{
    SystemClock clock;
    for (const int ms : {1, 2}) {
        QElapsedTimer timer;
        timer.start();
        clock.sleepMs(ms);
        EXPECT_GE(timer.nsecsElapsed(), ms * 1000000LL) << ms;
    }
}
