#include "link/clock.h"

#include <chrono>

// The constructor and sleepNs() differ by system: link/clock_unix.cpp, link/clock_win.cpp.

qint64 SteadyClock::nowNs() const
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
