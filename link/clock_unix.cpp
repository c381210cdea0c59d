#include "link/clock.h"

#include <chrono>
#include <thread>

#ifdef __linux__
#include <sys/prctl.h>
#endif

SteadyClock::SteadyClock()
{
#ifdef __linux__
    // The default 50 us timer slack would stretch every millisecond pause.
    prctl(PR_SET_TIMERSLACK, 1UL);
#endif
}

void SteadyClock::sleepNs(qint64 ns)
{
    if (ns <= 0)
        return;
    // Sleep all but the last half millisecond, then spin: millisecond accuracy
    // without holding a core for the whole pause.
    const qint64 end = nowNs() + ns;
    constexpr qint64 spinNs = 150'000;
    if (ns > spinNs)
        std::this_thread::sleep_for(std::chrono::nanoseconds(ns - spinNs));
    while (nowNs() < end) {
    }
}
