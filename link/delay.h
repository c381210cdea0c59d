#pragma once

#include <QString>
#include <functional>

class Clock;

// The calibrated pause used for every wait of the protocol and the error paths.
// Until CalibrateDelay has run, DelayMs returns at once.
class Delay
{
public:
    explicit Delay(Clock &clock);

    // Blocks about n ms without running window events; nothing for n <= 0,
    // before calibration, or while cancelled.
    void DelayMs(int n) const;

    qint32 DelayLoopCount() const { return m_loopCount; }
    void setDelayLoopCount(qint32 count) { m_loopCount = count; }

    // Measures the counting loop (10^8 turns), sets DelayLoopCount and runs the
    // one-second self-test. status writes the StatusLine; pump runs pending events.
    void CalibrateDelay(const std::function<void(const QString &)> &status, const std::function<void()> &pump);

    // Runs `turns` turns of an empty counting loop the optimiser cannot remove;
    // replaceable in tests.
    std::function<void(qint32 turns)> countLoop;

    // Cuts every pause short (closing the window mid-operation).
    void setCancelled(bool cancelled) { m_cancelled = cancelled; }

private:
    Clock &m_clock;
    qint32 m_loopCount = 0;
    bool m_cancelled = false;
};
