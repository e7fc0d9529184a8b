#pragma once

#include <QtGlobal>

namespace keytoner {

// Time as the program uses it: a millisecond tick, blocking sleeps, and running pending events
// once. Pumped waits that must not spin run a QEventLoop of their own (LinkSession, TonePlayer).
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 tickMs() = 0;
    // Blocks the thread; no events are processed meanwhile.
    virtual void sleepMs(int ms) = 0;
    // Processes the window events that are pending now, once.
    virtual void pumpOnce() = 0;
};

class SystemClock : public Clock {
public:
    qint64 tickMs() override;
    void sleepMs(int ms) override;
    void pumpOnce() override;
};

} // namespace keytoner
