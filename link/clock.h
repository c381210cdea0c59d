#pragma once

#include <QtGlobal>

// Monotonic time, injected so that tests run time-outs in virtual time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 nowNs() const = 0;
    // Blocks the thread for about ns nanoseconds (a virtual clock just advances).
    virtual void sleepNs(qint64 ns) = 0;
};

class SteadyClock : public Clock
{
public:
    SteadyClock();
    qint64 nowNs() const override;
    void sleepNs(qint64 ns) override;
};

// Virtual time for tests: sleeping advances the clock, nothing blocks.
class ManualClock : public Clock
{
public:
    qint64 nowNs() const override { return m_now; }
    void sleepNs(qint64 ns) override { m_now += ns > 0 ? ns : 0; }
    void advanceMs(double ms) { m_now += qint64(ms * 1e6); }

private:
    qint64 m_now = 0;
};
