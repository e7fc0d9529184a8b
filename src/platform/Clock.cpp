#include "Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace keytoner {

qint64 SystemClock::tickMs()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void SystemClock::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void SystemClock::pumpOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace keytoner
