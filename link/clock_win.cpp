#include "link/clock.h"

#include <windows.h>
// windows.h first: timeapi.h builds on it.
#include <timeapi.h>

SteadyClock::SteadyClock()
{
    // The system timer ticks every 15.6 ms unless asked for its finest step; the
    // process keeps that step until it ends.
    timeBeginPeriod(1);
}

void SteadyClock::sleepNs(qint64 ns)
{
    if (ns <= 0)
        return;
    // Sleep(n) may last a tick longer than asked: sleep whole milliseconds up to
    // 2 ms before the end and spin the rest. The 1 ms pauses between request
    // bytes are spun whole, as the classic busy wait did.
    const qint64 end = nowNs() + ns;
    const qint64 sleepMs = (ns - 2'000'000) / 1'000'000;
    if (sleepMs > 0)
        Sleep(DWORD(sleepMs));
    while (nowNs() < end)
        YieldProcessor();
}
